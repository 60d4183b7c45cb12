// What a bundle may be called and how its Info.xml is written and read
// back; the bundle itself is compared with mkgmap's in the interop tests.
#include <gtest/gtest.h>

#include "core/install/gmap_bundle.hpp"
#include "core/install/gmap_info.hpp"

using namespace velmor;

TEST(GmapBundle, NamesWindowsRefusesAreRefused) {
  for (const char* bad :
       {"A:B", "a/b", "a\\b", "x?", "x*", "<x>", "a|b", "q\"", "end.", "end ", "CON", "com1.x", "Lpt9", "nul", ""})
    EXPECT_TRUE(windowsNameProblem(bad)) << bad;
  for (const char* good : {"Test Fam", "Berg & Tal", "S\u00FCd", "com10", "console", "A'b", "x.y"})
    EXPECT_FALSE(windowsNameProblem(good)) << good;
}

TEST(GmapBundle, InfoXmlReadsBackWhatIsWritten) {
  GmapInfo info;
  info.name = "A & <B>";
  info.dataVersion = 205;
  info.id = 65535;
  info.typ = "x.typ";
  info.subProducts.push_back({"S\u00E9rie \"1\"", 7, "base", "p.tdb", "Product7"});
  const std::string text = infoXmlText(info);
  EXPECT_NE(text.find(" <Name>A &amp; &lt;B&gt;</Name>\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("<IDX>"), std::string::npos);  // an element without a file is left out
  auto back = parseInfoXml(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->name, info.name);
  EXPECT_EQ(back->dataVersion, 205);
  EXPECT_EQ(back->id, 65535);
  EXPECT_EQ(back->typ, "x.typ");
  ASSERT_EQ(back->subProducts.size(), 1u);
  EXPECT_EQ(back->subProducts[0].name, info.subProducts[0].name);
  EXPECT_EQ(back->subProducts[0].directory, "Product7");
  EXPECT_FALSE(parseInfoXml("<Other><Name>x</Name></Other>"));
  EXPECT_FALSE(parseInfoXml("<MapProduct><Name>x</ID></MapProduct>"));
}
