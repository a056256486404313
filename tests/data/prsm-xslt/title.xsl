<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="text" encoding="UTF-8"/>
  <xsl:param name="title"/>
  <xsl:template match="/">[<xsl:value-of select="$title"/>:<xsl:value-of select="count(//item)"/>]</xsl:template>
</xsl:stylesheet>
