<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="text"/>
  <xsl:template match="/">
    <xsl:choose>
      <xsl:when test="false()">strict</xsl:when>
      <xsl:otherwise test="written for xsltproc">[<xsl:value-of select="count(//item)"/>]</xsl:otherwise>
    </xsl:choose>
  </xsl:template>
</xsl:stylesheet>
