<?xml version="1.0" encoding="UTF-8"?>
<!-- Renders the product catalogue as an HTML report, grouped by category. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="yes"/>

  <xsl:param name="title" select="'Product catalogue'"/>

  <xsl:key name="by-category" match="product" use="@category"/>

  <xsl:template match="/catalogue">
    <html>
      <head><title><xsl:value-of select="$title"/></title></head>
      <body>
        <h1><xsl:value-of select="$title"/></h1>
        <xsl:for-each select="product[generate-id() = generate-id(key('by-category', @category)[1])]">
          <xsl:sort select="@category"/>
          <h2><xsl:value-of select="@category"/></h2>
          <table>
            <tr><th>Product</th><th>Price</th><th>In stock</th></tr>
            <xsl:apply-templates select="key('by-category', @category)">
              <xsl:sort select="name"/>
            </xsl:apply-templates>
          </table>
        </xsl:for-each>
        <p>
          <xsl:value-of select="count(product)"/> products,
          <xsl:value-of select="format-number(sum(product/stock), '#,##0')"/> items in stock,
          <xsl:value-of select="count(product[stock = 0])"/> sold out.
        </p>
      </body>
    </html>
  </xsl:template>

  <xsl:template match="product">
    <tr>
      <td><xsl:value-of select="name"/></td>
      <td><xsl:value-of select="format-number(price, '0.00')"/>&#160;<xsl:value-of select="/catalogue/@currency"/></td>
      <td><xsl:choose><xsl:when test="stock &gt; 0"><xsl:value-of select="stock"/></xsl:when><xsl:otherwise>sold out</xsl:otherwise></xsl:choose></td>
    </tr>
  </xsl:template>
</xsl:stylesheet>
