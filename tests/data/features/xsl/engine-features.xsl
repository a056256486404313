<?xml version="1.0" encoding="UTF-8"?>
<!-- Locale-aware sorting, number patterns, a parameter, a host function, nodeset, an included
     template and references relative to the source: each needs something that a private engine
     must be given like the long-lived one. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:prsm="urn:prsm:xslt-extensions" xmlns:xalan="http://xml.apache.org/xalan"
    exclude-result-prefixes="prsm xalan">
  <xsl:include href="inc.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>
  <xsl:param name="p" select="'unset'"/>
  <xsl:template match="/">
    <xsl:variable name="rtf"><a>x</a><a>y</a></xsl:variable>
    <xsl:for-each select="doc/w"><xsl:sort select="."/><xsl:value-of select="."/>,</xsl:for-each>
    <xsl:value-of select="concat('|', format-number(1234.5, '#,##0.00'), '|')"/>
    <xsl:value-of select="concat(format-number(0.256, '0.0%'), '|', $p, '|')"/>
    <xsl:value-of select="concat(prsm:tag(doc/w[1]), '|', count(xalan:nodeset($rtf)/a), '|')"/>
    <xsl:call-template name="inc"/>
    <xsl:value-of select="concat('|', document(string(doc/@href), /)/n, '|')"/>
    <xsl:value-of select="unparsed-entity-uri('pic')"/>
  </xsl:template>
</xsl:stylesheet>
