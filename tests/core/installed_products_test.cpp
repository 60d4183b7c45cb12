// The installed-products listing from a stand-in registry and a temporary
// maps folder: the registry dump, which entries are listed and how, the
// folder scan, the product summary and the search.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/install/installed_products.hpp"
#include "core/install/installed_search.hpp"
#include "core/install/product_summary.hpp"
#include "support/fake_install.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

using namespace velmor;
using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

const std::string kFamilies = "SOFTWARE\\Garmin\\mapsource\\families";
const std::string kProducts = "SOFTWARE\\Garmin\\mapsource\\products";

void writeBytes(const fs::path& path, const Bytes& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

TEST(InstalledProducts, RegistryDumpAndWhichFamiliesAndProductsAreListed) {
  FakeInstallEnvironment env;
  FakeRegistry& r = env.registryReader;
  r.text(kFamilies + "\\MyMap", "TDB", "C:\\Maps\\MyMap\\MyMap.tdb")
      .binary(kFamilies + "\\MyMap", "ID", {0x2C, 0x01})
      .dword(kFamilies + "\\MyMap", "Level", 0x1F)
      .binary(kFamilies + "\\NoTdb", "ID", {0x10, 0x00})
      .text(kFamilies + "\\NoTdb\\1", "LOC", "C:\\Maps\\NoTdb\\")
      .text(kFamilies + "\\Alps\\1", "", "Product One")
      .text(kFamilies + "\\Alps\\1", "TDB", "C:\\Maps\\Alps\\alps.tdb")
      .binary(kFamilies + "\\Alps", "ID", {0x01, 0x80})  // second byte 0x80 or more: nothing
      .text(kFamilies + "\\Wow!Map", "TDB", "C:\\Maps\\Wow!\\wow.tdb")
      .unreadableDefault(kFamilies + "\\Wow!Map")
      .text(kProducts + "\\Grid", "", "Grid Map")
      .text(kProducts + "\\Grid", "TDB", "Z:\\tmp\\Grid\\grid.tdb");
  env.files["c:\\maps\\mymap\\mymap.tdb"] = "/here/MyMap.tdb";

  ScriptedPrompter prompter;
  EXPECT_EQ(walkRegistryKey(r, kFamilies, 4, prompter),
            "!    MyMap \r\nC:\\Maps\\MyMap\\MyMap.tdb\r\n300\r\n        > Level = 1F\r\n"
            "!    NoTdb \r\n16\r\n        1 \r\n"
            "!    Alps \r\n        1 Product One\r\nC:\\Maps\\Alps\\alps.tdb\r\n"
            "!    Wow!Map Error\r\nC:\\Maps\\Wow!\\wow.tdb\r\n");

  std::vector<InstalledProduct> list;
  for (int source : {0, 1, 2, 4}) get_regvals(source, env, prompter, list);
  ASSERT_EQ(list.size(), 5u);
  // Four spaces, the key name, a blank and the empty default, two spaces and the folder.
  EXPECT_EQ(list[0].line, "    mymap   c:\\maps\\mymap");
  EXPECT_EQ(list[0].tdb, "c:\\maps\\mymap\\mymap.tdb");
  EXPECT_EQ(list[0].file, "/here/MyMap.tdb");
  EXPECT_EQ(list[1].line, "    alps   c:\\maps\\alps");
  EXPECT_FALSE(list[1].file);
  // A "!" in a name or a path does not split the entry.
  EXPECT_EQ(list[2].line, "    wow!map error  c:\\maps\\wow!");
  EXPECT_EQ(list[2].tdb, "c:\\maps\\wow!\\wow.tdb");
  // The products key is read twice.
  EXPECT_EQ(list[3].source, 2);
  EXPECT_EQ(list[4].source, 4);
  EXPECT_EQ(list[4].line, "    grid grid map  z:\\tmp\\grid");
}

TEST(InstalledProducts, AKeyThatCannotBeClosedIsReportedAndTheWalkGoesOn) {
  FakeInstallEnvironment env;
  env.registryReader.text(kFamilies + "\\A", "TDB", "C:\\a.tdb").closeFails(kFamilies + "\\A");
  RecordingPrompter prompter;
  std::vector<InstalledProduct> list;
  get_regvals(0, env, prompter, list);
  EXPECT_EQ(prompter.messages, std::vector<std::string>{kErrorClosingKey});
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].line, "    a   c:");
}

TEST(InstalledProducts, MapsFolderScanListsFoldersWithATypFileAndAProductInProduct1) {
  const fs::path maps = tempDir();
  writeBytes(maps / "Zeta.gmap/zeta.TYP", {1});
  writeBytes(maps / "Zeta.gmap/product1/z.tdb",
             cat({block(0x50, headerBody(3, 4660, 409, "Zeta Topo", "Fam", defaultTail(58)))}));
  writeBytes(maps / "Alpha.gmap/a.typ", {1});
  writeBytes(maps / "Alpha.gmap/Product1/b.tdb", cat({block(0x50, headerBody(1, 26, 409, "Beta", "F", {}))}));
  writeBytes(maps / "Alpha.gmap/Product1/a.tdb", cat({block(0x50, headerBody(1, 300, 409, "Alpha", "F", {}))}));
  writeBytes(maps / "NoTyp.gmap/Product1/n.tdb", cat({block(0x50, headerBody(1, 5, 409, "NoTyp", "F", {}))}));
  writeBytes(maps / "Empty.gmap/e.typ", {1});
  fs::create_directories(maps / "Empty.gmap/Product1");
  writeBytes(maps / "NotAProduct.gmap/x.typ", {1});
  writeBytes(maps / "NotAProduct.gmap/Product1/x.tdb", {'X', 'Y'});

  FakeInstallEnvironment env;
  env.maps = maps.string();
  ScriptedPrompter prompter;
  std::vector<InstalledProduct> list;
  get_regvals(4, env, prompter, list);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].line, "    300 Alpha");  // the first product file of Product1, in name order
  EXPECT_EQ(list[0].tdb, "c:\\programdata\\garmin\\maps\\Alpha.gmap\\Product1\\a.tdb");
  EXPECT_EQ(list[0].file, (maps / "Alpha.gmap" / "Product1" / "a.tdb").string());
  EXPECT_EQ(list[1].line, "    0 ");  // not a product file: no summary
  EXPECT_EQ(list[2].line, "    4660 Zeta Topo");
  EXPECT_TRUE(list[2].fromFolder);
}

TEST(InstalledProducts, ProductSummaryReadsNoFurtherThanTheFileGoes) {
  const std::string folder = tempDir();
  ScriptedPrompter prompter;
  // Names are code page 1252 bytes in the file.
  const Bytes full = block(0x50, headerBody(0x0102, 0x1234, 409, "S\xE9rie", "Family", defaultTail(58)));
  writeBytes(folder + "/full.tdb", full);
  EXPECT_EQ(readProductSummary(folder + "/full.tdb", prompter), "S\u00E9rie\r34\r12\r02\r01");

  // Cut inside the series name, which has no terminating 0: what is there.
  writeBytes(folder + "/cut.tdb", Bytes(full.begin(), full.begin() + 12));
  EXPECT_EQ(readProductSummary(folder + "/cut.tdb", prompter), "S\u00E9r\r34\r12\r02\r01");
  // Too short to hold the ids: they read as 0.
  writeBytes(folder + "/tiny.tdb", {0x50, 0x10});
  EXPECT_EQ(readProductSummary(folder + "/tiny.tdb", prompter), "\r00\r00\r00\r00");
  writeBytes(folder + "/other.tdb", {0x44, 0x10, 0, 0, 0, 0, 0, 0, 0, 'x', 0});
  EXPECT_EQ(readProductSummary(folder + "/other.tdb", prompter), "");
  EXPECT_EQ(readProductSummary(folder + "/missing.tdb", prompter), "");
  EXPECT_EQ(readProductSummary("", prompter), "");

  // A read error is shown once; the caller goes on.
  RecordingPrompter errors;
  fs::create_directory(folder + "/dir.tdb");
  EXPECT_EQ(readProductSummary(folder + "/dir.tdb", errors), "");
  EXPECT_EQ(errors.messages.size(), 1u);

  EXPECT_EQ(hex2("A"), "0A");
  EXPECT_EQ(hex2(""), "00");
  EXPECT_EQ(hex2("FF"), "FF");
}

TEST(InstalledProducts, SearchFindsTheNextMatchAndWrapsToTheTop) {
  const std::vector<std::string> lines = {"    alps", "    My Map one", "    grid", "    map two", "    zeta"};
  InstalledSearch search;
  EXPECT_EQ(search.next(lines, "MAP"), 1u);
  EXPECT_EQ(search.next(lines, "map"), 3u);
  EXPECT_EQ(search.next(lines, "map"), 1u);  // from below the last match, once more from the top
  EXPECT_EQ(search.next(lines, "zeta"), 4u);
  EXPECT_EQ(search.position(), 0u);  // past the last line: back to the first
  EXPECT_FALSE(search.next(lines, "nothing"));
  EXPECT_EQ(search.position(), 0u);
  EXPECT_FALSE(search.next({}, "x"));
}

TEST(InstalledProducts, BundlesAreListedWithTheIdsAndNamesOfTheirInfoXml) {
  const fs::path maps = tempDir();
  // A bundle that BaseCamp wrote with a prefix and entities of its own, with
  // no TYP file and its products in folders other than Product1.
  const std::string xml =
      "<?xml version=\"1.0\"?>\n<!-- made by hand -->\n<gm:MapProduct xmlns:gm=\"http://www.garmin.com/xmlschemas/"
      "MapProduct/v1\"><gm:Name>Berg &amp; Tal</gm:Name><gm:ID>4711</gm:ID><gm:Unknown a=\"1\"/>"
      "<gm:SubProduct><gm:Name>S&#252;d</gm:Name><gm:ID>2</gm:ID><gm:TDB>sued.tdb</gm:TDB>"
      "<gm:Directory>Product2</gm:Directory></gm:SubProduct>"
      "<gm:SubProduct><gm:Name>Nord</gm:Name><gm:ID>3</gm:ID><gm:TDB>nord.tdb</gm:TDB>"
      "<gm:Directory>Product3</gm:Directory></gm:SubProduct></gm:MapProduct>";
  writeBytes(maps / "Berg.gmap/Info.xml", Bytes(xml.begin(), xml.end()));
  writeBytes(maps / "Berg.gmap/Product2/sued.tdb", cat({block(0x50, headerBody(2, 4711, 409, "Sud", "F", {}))}));
  // A folder of the older kind beside it is still listed the older way.
  writeBytes(maps / "Old.gmap/o.typ", {1});
  writeBytes(maps / "Old.gmap/Product1/o.tdb", cat({block(0x50, headerBody(1, 26, 409, "Old", "F", {}))}));
  // An Info.xml that is not a map product's leaves the folder to the older rule.
  writeBytes(maps / "Other.gmap/Info.xml", {'<', 'x', '/', '>'});

  FakeInstallEnvironment env;
  env.maps = maps.string();
  ScriptedPrompter prompter;
  std::vector<InstalledProduct> list;
  get_regvals(4, env, prompter, list);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_TRUE(list[0].bundle);
  EXPECT_EQ(list[0].familyId, 4711);
  EXPECT_EQ(list[0].productId, 2);
  EXPECT_EQ(list[0].name, "Berg & Tal");
  EXPECT_EQ(list[0].productName, "S\u00FCd");
  EXPECT_EQ(list[0].tdb, "c:\\programdata\\garmin\\maps\\Berg.gmap\\Product2\\sued.tdb");
  EXPECT_EQ(list[0].file, (maps / "Berg.gmap" / "Product2" / "sued.tdb").string());
  EXPECT_EQ(list[1].productId, 3);
  EXPECT_EQ(list[1].file, std::nullopt);  // listed, though its product file is missing
  EXPECT_FALSE(list[2].bundle);
  EXPECT_EQ(list[2].line, "    26 Old");
}
