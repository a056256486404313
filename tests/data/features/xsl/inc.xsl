<?xml version="1.0" encoding="UTF-8"?>
<!-- Included by engine-features.xsl from the same folder. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:template name="inc">€</xsl:template>
</xsl:stylesheet>
