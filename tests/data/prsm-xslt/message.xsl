<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="text"/>
  <xsl:param name="stop"/>
  <xsl:template match="/">
    <xsl:message>counting <xsl:value-of select="count(//item)"/></xsl:message>
    <xsl:if test="$stop"><xsl:message terminate="yes">stop here</xsl:message></xsl:if>
    <xsl:value-of select="count(//item)"/>
  </xsl:template>
</xsl:stylesheet>
