<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:template match="/"><box><xsl:copy-of select="*"/></box></xsl:template>
</xsl:stylesheet>
