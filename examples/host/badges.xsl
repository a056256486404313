<?xml version="1.0" encoding="UTF-8"?>
<!-- One badge line per member: the event comes from the host's parameter, the initials from the
     host's own extension function. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns:host="urn:prsm:xslt-extensions" exclude-result-prefixes="host">
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:param name="event" select="'(no event)'"/>

  <xsl:template match="/team">
    <xsl:value-of select="concat($event, ', team ', @name, '&#10;')"/>
    <xsl:for-each select="member">
      <xsl:value-of select="concat('[', host:initials(.), '] ', ., ' (', @role, ')&#10;')"/>
    </xsl:for-each>
  </xsl:template>
</xsl:stylesheet>
