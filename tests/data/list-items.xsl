<?xml version="1.0" encoding="UTF-8"?>
<!-- Lists doc/v as items of a root element that has a comment before it and a PI after it. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:template match="/">
    <xsl:comment>before</xsl:comment>
    <list a="é"><xsl:for-each select="doc/v"><i><xsl:value-of select="."/></i></xsl:for-each></list>
    <xsl:processing-instruction name="after"/>
  </xsl:template>
</xsl:stylesheet>
