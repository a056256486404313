<?xml version="1.0" encoding="UTF-8"?>
<!-- One timer per doc/i, driven through its whole life: "id start stop total destroy " a line. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:prsm="urn:prsm:xslt-extensions" exclude-result-prefixes="prsm">
  <xsl:output method="text" encoding="UTF-8"/>
  <xsl:template match="/">
    <xsl:for-each select="doc/i">
      <xsl:variable name="id" select="prsm:TimerCreate()"/>
      <xsl:value-of select="concat($id, ' ', prsm:TimerStart($id), ' ', prsm:TimerStop($id), ' ')"/>
      <xsl:value-of select="concat(prsm:TimerTotal($id), ' ', prsm:TimerDestroy($id), ' ')"/>
      <xsl:text>&#10;</xsl:text>
    </xsl:for-each>
  </xsl:template>
</xsl:stylesheet>
