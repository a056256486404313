<?xml version="1.0"?>
<!-- Copies the document as parsed, so that what XInclude made of it shows. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output omit-xml-declaration="yes"/>
  <xsl:template match="/"><xsl:copy-of select="/"/></xsl:template>
</xsl:stylesheet>
