<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns:exsl="http://exslt.org/common" extension-element-prefixes="exsl">
  <xsl:output method="text"/>
  <xsl:template match="/">
    <exsl:document href="chunks/one.txt" method="text">
      <xsl:text>one</xsl:text>
      <exsl:document href="two.txt" method="text">two</exsl:document>
    </exsl:document>
    <xsl:text>main</xsl:text>
  </xsl:template>
</xsl:stylesheet>
