<?xml version="1.0"?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:param name="greeting" select="'none'"/>
  <xsl:param name="count" select="0"/>
  <xsl:template match="/list">
    <out greeting="{$greeting}" total="{count(item) + $count}">
      <xsl:for-each select="item"><i><xsl:value-of select="."/></i></xsl:for-each>
    </out>
  </xsl:template>
</xsl:stylesheet>
