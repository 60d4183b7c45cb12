// The registry file that installs a product into MapSource: its text byte for
// byte, the sorting of the listed files and every refusal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/install/registry_file.hpp"
#include "core/platform/file_services.hpp"
#include "core/platform/registry_importer.hpp"
#include "core/platform/wine_prefix.hpp"
#include "support/fake_install.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

std::string fileText(const std::string& path) {
  Bytes bytes = readFile(path);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> inFolder(const std::string& folder, std::vector<std::string> names) {
  for (std::string& name : names) name = folder + "/" + name;
  return names;
}

// One product file for the registry file of folder/Alps.reg.
MapsourceFilesRequest oneProductRequest(const std::string& folder) {
  MapsourceFilesRequest request;
  request.chosenFiles = {"alps.tdb"};
  request.familyKeyName = "Alps";
  request.fidText = "1";
  request.registryFolder = "C:\\Maps";
  request.localFolder = folder;
  return request;
}

}  // namespace

TEST(RegistryFile, AlpsExampleIsWrittenByteForByteNextToTheMapFilesAndOfferedForImport) {
  const std::string folder = tempDir();
  MapsourceFilesRequest request;
  request.chosenFiles = inFolder(folder, {"alps.tdb", "alps.mdx", "alps_mdr.img", "basemap.img"});
  request.familyKeyName = "Alps Topo";
  request.fidText = "4660";
  request.registryFolder = "C:\\Maps\\Alps";
  request.localFolder = folder;
  ScriptedPrompter prompter;
  // One message: the file written, the folder and the chosen files, what became of the import.
  prompter.expectMessage("Registry file written: " + folder + kNativeSeparator +
                         "Alps Topo.reg\r\n\r\nC:\\Maps\\Alps\r\n"
                         "basemap.img\r\nalps.tdb\r\nalps.mdx\r\nalps_mdr.img\r\n\r\n"
                         "Handed to the registry editor for import.");
  RecordingImporter importer;

  const auto result = create_mapsourcefiles(request, prompter, systemFiles(), &importer, quietActivity());

  ASSERT_EQ(result.status, MapsourceFilesStatus::Written);
  EXPECT_EQ(result.registryFile, folder + kNativeSeparator + "Alps Topo.reg");
  EXPECT_EQ(fileText(result.registryFile),
            "REGEDIT4\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Garmin\\MapSource\\Families\\Alps Topo]\r\n"
            "\"ID\"=hex:34,12\r\n"
            "\"IDX\"=\"C:\\\\Maps\\\\Alps\\\\alps.mdx\"\r\n"
            "\"MDR\"=\"C:\\\\Maps\\\\Alps\\\\alps_mdr.img\"\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Garmin\\MapSource\\Families\\Alps Topo\\1]\r\n"
            "\"LOC\"=\"C:\\\\Maps\\\\Alps\\\\\"\r\n"
            "\"BMAP\"=\"C:\\\\Maps\\\\Alps\\\\basemap.img\"\r\n"
            "\"TDB\"=\"C:\\\\Maps\\\\Alps\\\\alps.tdb\"\r\n"
            "\r\n");
  EXPECT_EQ(importer.imported, std::vector<std::string>{result.registryFile});
}

TEST(RegistryFile, SixtyFourBitKeysLowerCaseNamesAndWhatCountsAsBasemap) {
  EXPECT_EQ(familyIdText(26), "1A,00");
  EXPECT_EQ(familyIdText(0xFFFF), "FF,FF");

  const std::string folder = tempDir();
  MapsourceFilesRequest request;
  // Tiles and gmapsupp files are no basemap; 0.img is (its number is 0); the last MDR counts.
  request.chosenFiles = inFolder(folder, {"63240001.img", "GMAPSUPP.IMG", "Caf\u00E9.TDB", "first_mdr.img",
                                          "Second_MDR.IMG", "0.img", "63240002.img", "x.mdr"});
  request.familyKeyName = "Caf\u00E9 Map";
  request.fidText = " 26 ";
  request.registryFolder = "Z:\\home\\me\\maps\\";
  request.localFolder = folder + "/";
  request.is64BitWindows = true;
  RecordingPrompter prompter;
  const auto result = create_mapsourcefiles(request, prompter, systemFiles(), nullptr, quietActivity());

  ASSERT_EQ(result.status, MapsourceFilesStatus::Written);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_NE(prompter.messages[0].find("\r\n\r\nZ:\\home\\me\\maps\r\n0.img\r\ncaf\u00E9.tdb\r\n\r\nsecond_mdr.img"),
            std::string::npos)
      << prompter.messages[0];
  const std::string text = fileText(folder + "/Caf\u00E9 Map.reg");
  // Code page 1252: the e acute is one byte, 0xE9.
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Garmin\\MapSource\\Families\\Caf\xE9 Map]\r\n"
                      "\"ID\"=hex:1A,00\r\n"
                      "\"MDR\"=\"Z:\\\\home\\\\me\\\\maps\\\\second_mdr.img\"\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Garmin\\MapSource\\Families\\Caf\xE9 Map\\1]\r\n"
                      "\"LOC\"=\"Z:\\\\home\\\\me\\\\maps\\\\\"\r\n"
                      "\"BMAP\"=\"Z:\\\\home\\\\me\\\\maps\\\\0.img\"\r\n"
                      "\"TDB\"=\"Z:\\\\home\\\\me\\\\maps\\\\caf\xE9.tdb\"\r\n\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("6324"), std::string::npos);
  EXPECT_EQ(text.find("gmapsupp"), std::string::npos);
}

TEST(RegistryFile, RefusalsShowTheirMessageAndWriteNothing) {
  struct Case {
    std::vector<std::string> files;
    std::string name;
    std::string fid;
    std::string message;  // the last message shown (a prefix for our own longer texts)
  };
  const std::vector<std::string> product = {"alps.tdb", "alps.mdx"};
  const std::vector<Case> cases = {
      {{}, "Alps", "1", kNoEssentialFiles},
      {{"a.tdb", "b.mdx", "B.TDB"}, "Alps", "1", kTwoTdbFiles},
      {{"a.tdb", "a.mdx", "b.mdx"}, "Alps", "1", kTwoMdxFiles},
      {{"a.tdb", "overview.img", "0.img"}, "Alps", "1", kTwoBasemaps},
      {{"63240001.img", "63240002.img", "gmapsupp.img", "a_mdr.img"}, "Alps", "1", kNoTdbFile},
      {product, "", "1", kNoMapsourceName},
      // A name that would change the key path or the file's own path.
      {product, "Alps\\Topo", "1", "The Mapsource Name"},
      {product, "Alps]Topo", "1", "The Mapsource Name"},
      {product, "../Alps", "1", "The Mapsource Name"},
      {product, "..", "1", "The Mapsource Name"},
      {product, "Alps\nTopo", "1", "The Mapsource Name"},
      {product, "Alps", "70000", "The FID box must hold a number from 0 to 65535."},
      {product, "Alps", "12a", "The FID box must hold a number from 0 to 65535."},
      // REGEDIT4 is ANSI text: a name outside code page 1252 is not turned into "?".
      {product, "\u0141\u00F3d\u017A", "1", "A registry file is written in code page 1252"},
      {{"al\"ps.tdb"}, "Alps", "1", "\"al\"ps.tdb\" cannot be written into a registry file"},
  };
  for (const Case& c : cases) {
    const std::string folder = tempDir();
    MapsourceFilesRequest request;
    request.chosenFiles = inFolder(folder, c.files);
    request.familyKeyName = c.name;
    request.fidText = c.fid;
    request.registryFolder = "C:\\Maps";
    request.localFolder = folder;
    RecordingPrompter prompter;
    RecordingImporter importer;
    const auto result = create_mapsourcefiles(request, prompter, systemFiles(), &importer, quietActivity());
    EXPECT_EQ(result.status, MapsourceFilesStatus::Refused) << c.message;
    ASSERT_FALSE(prompter.messages.empty());
    EXPECT_EQ(prompter.messages.back().rfind(c.message, 0), 0u) << prompter.messages.back();
    EXPECT_TRUE(std::filesystem::is_empty(folder)) << c.message;
    EXPECT_TRUE(importer.imported.empty());
  }
}

TEST(RegistryFile, AFailedWriteIsShownAndNothingIsImported) {
  const std::string folder = tempDir();
  // A folder in the file's place: the write cannot replace it.
  std::filesystem::create_directory(pathFromUtf8(folder + "/Alps.reg"));
  const MapsourceFilesRequest request = oneProductRequest(folder);
  RecordingPrompter prompter;
  RecordingImporter importer;
  const auto result = create_mapsourcefiles(request, prompter, systemFiles(), &importer, quietActivity());
  EXPECT_EQ(result.status, MapsourceFilesStatus::WriteFailed);
  EXPECT_EQ(
      prompter.messages.back().rfind("Cannot write the registry file " + folder + kNativeSeparator + "Alps.reg", 0),
      0u);
  EXPECT_TRUE(importer.imported.empty());
}

#ifndef _WIN32  // importing through wine regedit is for Linux
TEST(RegistryFile, WithoutAWinePrefixTheUserIsToldWhereTheFileIsAndHowToImportIt) {
  const std::string folder = tempDir();
  auto importer = wineRegistryImporter(WinePrefix(folder + "/no-prefix"));
  const MapsourceFilesRequest request = oneProductRequest(folder);
  RecordingPrompter prompter;
  const auto result = create_mapsourcefiles(request, prompter, systemFiles(), importer.get(), quietActivity());
  EXPECT_EQ(result.status, MapsourceFilesStatus::Written);
  const std::string& told = prompter.messages.back();
  EXPECT_NE(told.find("The registry file " + folder + "/Alps.reg was written but not imported."), std::string::npos)
      << told;
  EXPECT_NE(told.find("wine regedit \"" + folder + "/Alps.reg\""), std::string::npos) << told;
}

// A regedit that fails is told, not taken for an import; while it runs the
// window gets its events.
TEST(RegistryFile, AFailedRegeditIsToldWithItsExitCode) {
  const std::string folder = tempDir();
  std::filesystem::create_directories(folder + "/prefix");
  std::ofstream(folder + "/prefix/system.reg") << "WINE REGISTRY Version 2\n";
  std::filesystem::create_directories(folder + "/bin");
  const std::string wine = folder + "/bin/wine";
  std::ofstream(wine) << "#!/bin/sh\nsleep 0.3\nexit 3\n";
  std::filesystem::permissions(wine, std::filesystem::perms::owner_all);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", (folder + "/bin:" + oldPath).c_str(), 1);

  struct CountingActivity : Activity {
    void yieldEvents() override { ++yields; }
    int yields = 0;
  } activity;
  auto importer = wineRegistryImporter(WinePrefix(folder + "/prefix"));
  const MapsourceFilesRequest request = oneProductRequest(folder);
  RecordingPrompter prompter;
  const auto result = create_mapsourcefiles(request, prompter, systemFiles(), importer.get(), activity);
  ::setenv("PATH", oldPath.c_str(), 1);
  EXPECT_EQ(result.status, MapsourceFilesStatus::Written);
  EXPECT_FALSE(result.importStarted);
  ASSERT_FALSE(prompter.messages.empty());
  EXPECT_NE(prompter.messages.back().find("wine regedit ended with code 3"), std::string::npos)
      << prompter.messages.back();
  EXPECT_GT(activity.yields, 0);
}
#endif

// The import is judged by what the registry holds afterwards, not by the
// importer's exit code; the file names the product's own product id and its TYP.
TEST(RegistryFile, TheImportIsReadBackAndTheFileCarriesTheTypAndTheProductId) {
  const std::string folder = tempDir();
  // Product id 7, family id 4660.
  const Bytes header = block(0x50, headerBody(7, 4660, 409, "Series", "Family", defaultTail(58)));
  std::ofstream(folder + "/alps.tdb", std::ios::binary)
      .write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
  MapsourceFilesRequest request = oneProductRequest(folder);
  request.chosenFiles = inFolder(folder, {"alps.tdb", "Alps.TYP"});
  request.fidText = "4660";
  RecordingImporter importer;
  FakeRegistry nothingArrived;
  RecordingPrompter prompter;
  auto result = create_mapsourcefiles(request, prompter, systemFiles(), &importer, quietActivity(), &nothingArrived);
  ASSERT_EQ(result.status, MapsourceFilesStatus::Written);
  const std::string text = fileText(result.registryFile);
  EXPECT_NE(text.find("\"TYP\"=\"C:\\\\Maps\\\\Alps.TYP\"\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\\Families\\Alps\\7]\r\n"), std::string::npos) << text;
  EXPECT_TRUE(result.importStarted);
  EXPECT_FALSE(result.importVerified);
  ASSERT_EQ(result.missing.size(), 2u);
  EXPECT_EQ(result.missing[0], "the key SOFTWARE\\Garmin\\MapSource\\Families\\Alps");
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_NE(prompter.messages[0].find("The import failed: the importer ended, but the registry does not hold\r\n"
                                      "    the key SOFTWARE\\Garmin\\MapSource\\Families\\Alps\r\n"),
            std::string::npos)
      << prompter.messages[0];

  // A TYP value gone astray is named; with everything there the message says what is installed.
  const std::string family = "SOFTWARE\\Garmin\\MapSource\\Families\\Alps";
  FakeRegistry arrived;
  arrived.binary(family, "ID", {0x34, 0x12})
      .text(family + "\\7", "LOC", "C:\\Maps\\")
      .text(family + "\\7", "TDB", "C:\\Maps\\alps.tdb");
  result = create_mapsourcefiles(request, prompter, systemFiles(), &importer, quietActivity(), &arrived);
  EXPECT_EQ(result.missing, std::vector<std::string>{family + ": TYP = C:\\Maps\\Alps.TYP"});
  arrived.text(family, "TYP", "C:\\Maps\\Alps.TYP");
  result = create_mapsourcefiles(request, prompter, systemFiles(), &importer, quietActivity(), &arrived);
  EXPECT_TRUE(result.importVerified);
  EXPECT_NE(prompter.messages.back().find("Imported. The registry now holds:\r\n" + family +
                                          "\r\n    ID = 4660\r\n"
                                          "    TYP = C:\\Maps\\Alps.TYP\r\n" +
                                          family + "\\7\r\n"),
            std::string::npos)
      << prompter.messages.back();

#ifndef _WIN32
  // A Unix folder whose name holds "\" would be another folder to Windows.
  request.localFolder = folder + "/a\\b";
  result = create_mapsourcefiles(request, prompter, systemFiles(), &importer, quietActivity(), &arrived);
  EXPECT_EQ(result.status, MapsourceFilesStatus::Refused);
  EXPECT_EQ(prompter.messages.back().rfind("The folder " + folder + "/a\\b holds \"\\\" in its name", 0), 0u)
      << prompter.messages.back();
#endif
}
