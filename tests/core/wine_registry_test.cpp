// The registry of a Wine prefix as the wineserver writes it (tests/data/wine
// holds part of a system.reg that Wine 8 wrote after importing registry
// files), and the prefix's drives and paths.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/platform/unicode_text.hpp"
#include "core/platform/wine_prefix.hpp"
#include "core/platform/wine_registry.hpp"
#include "support/product_builder.hpp"

using namespace velmor;
using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

const std::string kSystemReg = std::string(VELMOR_TEST_DATA) + "/wine/system.reg";

std::shared_ptr<const WineRegistry> wineData() {
  std::string error;
  auto registry = WineRegistry::load(kSystemReg, error);
  EXPECT_TRUE(registry) << error;
  return std::make_shared<const WineRegistry>(registry ? std::move(*registry) : WineRegistry::parse(""));
}

// The value of exactly that name, letter case included: names must be read as stored.
const RegistryValue* exactValue(const RegistryKeyListing& key, const std::string& name) {
  for (const RegistryValue& v : key.values)
    if (v.name == name) return &v;
  return nullptr;
}

std::vector<std::uint8_t> utf16z(const std::u16string& text) {
  std::vector<std::uint8_t> out;
  for (char16_t c : text) out.insert(out.end(), {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8)});
  out.insert(out.end(), {0, 0});
  return out;
}

}  // namespace

TEST(WineRegistry, ThirtyTwoBitViewOfAWine64PrefixFindsMapSourceKeysUnderWow6432Node) {
  auto data = wineData();
  EXPECT_TRUE(data->is64Bit());
  WineRegistryReader reader(data, true);
  // Neither Garmin nor Families has a key line of its own; case does not matter.
  auto families = reader.readKey("SOFTWARE\\Garmin\\mapsource\\families\\");
  ASSERT_TRUE(families);
  EXPECT_EQ(families->subkeys,
            (std::vector<std::string>{"Alps Topo", "Caf\u00E9 \"Quoted\" [x]", "Euro \u20AC Karte"}));
  auto alps = reader.readKey("software\\GARMIN\\MapSource\\Families\\alps topo");
  ASSERT_TRUE(alps);
  EXPECT_EQ(alps->subkeys, std::vector<std::string>{"1"});
  ASSERT_EQ(alps->values.size(), 3u);
  EXPECT_EQ(alps->values[0].type, kRegBinary);
  EXPECT_EQ(alps->values[0].data, (std::vector<std::uint8_t>{0x34, 0x12}));
  auto product = reader.readKey("SOFTWARE\\Garmin\\MapSource\\Families\\Alps Topo\\1");
  ASSERT_TRUE(product);
  EXPECT_EQ(registryText(*exactValue(*product, "TDB")), "C:\\Maps\\Alps\\alps.tdb");
  EXPECT_EQ(registryText(*exactValue(*product, "LOC")), "C:\\Maps\\Alps\\");
  EXPECT_EQ(reader.defaultValue("SOFTWARE\\Garmin\\MapSource\\Products\\Grid"), "Grid Map");
  EXPECT_EQ(reader.defaultValue("SOFTWARE\\Garmin\\MapSource\\Families\\Alps Topo"), "");
  EXPECT_FALSE(reader.defaultValue("SOFTWARE\\Garmin\\MapSource\\Families\\Gone"));
  EXPECT_FALSE(reader.readKey("SOFTWARE\\Garmin\\MapSource\\Families\\Gone"));

  // The 64-bit view has no Garmin key of its own.
  WineRegistryReader native(data, false);
  EXPECT_FALSE(native.readKey("SOFTWARE\\Garmin"));
  EXPECT_TRUE(native.readKey("Software\\Wow6432Node\\Garmin\\MapSource"));
}

TEST(WineRegistry, EscapesValueKindsContinuedLinesAndNonAsciiNames) {
  WineRegistryReader reader(wineData(), true);
  auto cafe = reader.readKey("SOFTWARE\\Garmin\\MapSource\\Families\\Caf\u00E9 \"Quoted\" [x]");
  ASSERT_TRUE(cafe);
  EXPECT_EQ(reader.defaultValue("SOFTWARE\\Garmin\\MapSource\\Families\\Caf\u00E9 \"Quoted\" [x]"),
            "Default \"text\" with tabthere");
  ASSERT_TRUE(exactValue(*cafe, "Caf\u00E9 name"));
  EXPECT_EQ(registryText(*exactValue(*cafe, "Caf\u00E9 name")), "Ni\u00F1o \\ back");
  EXPECT_EQ(exactValue(*cafe, "Counter")->type, kRegDword);
  EXPECT_EQ(exactValue(*cafe, "Counter")->data, (std::vector<std::uint8_t>{0x40, 0xE2, 0x01, 0x00}));
  EXPECT_EQ(exactValue(*cafe, "Empty")->data, (std::vector<std::uint8_t>{0, 0}));
  // Octal escapes: the value holds NULs inside it.
  EXPECT_EQ(exactValue(*cafe, "Expand")->type, kRegExpandSz);
  EXPECT_EQ(exactValue(*cafe, "Expand")->data, utf16z(std::u16string(u"%\0A\0p\0p\0D\0a\0t\0a\0%\0\\\0x\0\0", 23)));
  EXPECT_EQ(exactValue(*cafe, "Multi")->type, kRegMultiSz);
  // A hex value continued over three lines.
  const RegistryValue* longValue = exactValue(*cafe, "Long");
  ASSERT_EQ(longValue->data.size(), 52u);
  for (std::size_t i = 0; i < 52; ++i) EXPECT_EQ(longValue->data[i], i);
  EXPECT_TRUE(exactValue(*cafe, "NoBytes")->data.empty());
  EXPECT_EQ(exactValue(*cafe, "Qword")->type, kRegQword);
  EXPECT_EQ(exactValue(*cafe, "Qword")->data.size(), 8u);

  auto euro = reader.readKey("SOFTWARE\\Garmin\\MapSource\\Families\\euro \u20AC karte");
  ASSERT_TRUE(euro);
  // \x with four digits stops there: "\x00e9a" is e acute and "a".
  EXPECT_EQ(registryText(*exactValue(*euro, "TDB")), "C:\\Karten\\\u00E9a\u20AC5.tdb");
  EXPECT_TRUE(exactValue(*euro, "\u00E9abc"));
  // A surrogate pair written as two escapes is one character.
  EXPECT_TRUE(exactValue(*euro, "Emoji \U0001F5FA"));
  EXPECT_EQ(utf8ToUtf16(registryText(*exactValue(*euro, "Ctl"))),
            u"line1\nline2\ttab\x01\x07x\x1B"
            u"7");

  WineRegistryReader native(wineData(), false);
  auto link = native.readKey("Software\\Wow6432Node\\Microsoft\\Clients");
  ASSERT_TRUE(link);
  EXPECT_EQ(link->values.at(0).type, kRegLink);
}

TEST(WineRegistry, DamagedLinesArePassedOverAndTheRestIsRead) {
  const WineRegistry registry = WineRegistry::parse(
      "WINE REGISTRY Version 2\n"
      "[Software\\\\Broken key name\n"
      "\"Lost\"=\"no key to hold it\"\n"
      "[Software\\\\Good] 1\r\n"
      "\"Open\"=\"no closing quote\r\n"
      "\"Hex\"=hex:zz,01\n"
      "\"Big\"=hex:100,01\n"
      "\"Cut\"=hex:01,02,\\\n"
      "\"Kind\"=hex(:01\n"
      "\"A\"=\"1\"\n"
      "\"a\"=\"2\"\n"
      "\"B\"=dword:1\n");
  EXPECT_FALSE(registry.is64Bit());
  WineRegistryReader reader(std::make_shared<const WineRegistry>(registry), true);
  auto good = reader.readKey("Software\\Good");
  ASSERT_TRUE(good);
  ASSERT_EQ(good->values.size(), 4u);
  EXPECT_EQ(good->values[0].name, "Hex");  // no bytes before the first non-digit
  EXPECT_TRUE(good->values[0].data.empty());
  EXPECT_EQ(good->values[1].name, "Cut");
  EXPECT_EQ(good->values[1].data, (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(registryText(good->values[2]), "2");  // a later value of the same name replaces it
  EXPECT_EQ(good->values[3].data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
}

#ifndef _WIN32  // a Wine prefix is laid out and read on Linux
TEST(WinePrefix, DrivesMapPathsBothWaysWithoutRegardToCase) {
  const fs::path prefix = fs::canonical(tempDir());
  fs::create_directories(prefix / "drive_c/ProgramData/Garmin/Maps/Alps.gmap");
  fs::create_directories(prefix / "drive_c/Maps/Alps");
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
  fs::create_directory_symlink("/", prefix / "dosdevices/z:");
  std::ofstream(prefix / "drive_c/Maps/Alps/Alps.TDB") << "x";
  fs::copy_file(kSystemReg, prefix / "system.reg");
  const WinePrefix wine(prefix.string() + "/");

  EXPECT_TRUE(wine.is64Bit());
  EXPECT_EQ(wine.windowsPath((prefix / "drive_c/Maps/Alps").string()), "C:\\Maps\\Alps");
  EXPECT_EQ(wine.windowsPath((prefix / "drive_c").string()), "C:\\");
  // Outside drive_c through drive Z, as far as a folder that does not exist yet.
  EXPECT_EQ(wine.windowsPath((prefix / "elsewhere/new").string()), "Z:" + std::string([&] {
                                                                     std::string p =
                                                                         (prefix / "elsewhere/new").string();
                                                                     for (char& c : p)
                                                                       if (c == '/') c = '\\';
                                                                     return p;
                                                                   }()));
  EXPECT_EQ(wine.localPath("c:\\maps\\alps\\alps.tdb"), (prefix / "drive_c/Maps/Alps/Alps.TDB").string());
  EXPECT_EQ(wine.localPath("C:/MAPS/../Maps/Alps/new.tdb"), (prefix / "drive_c/Maps/Alps/new.tdb").string());
  EXPECT_EQ(wine.localPath("C:\\..\\..\\Maps"), (prefix / "drive_c/Maps").string());  // never above the drive
  EXPECT_FALSE(wine.localPath("d:\\maps"));
  EXPECT_FALSE(wine.localPath("\\\\server\\maps"));
  EXPECT_EQ(wine.mapsFolder(), (prefix / "drive_c/ProgramData/Garmin/Maps").string());
  EXPECT_EQ(wine.programFilesX86Folder(), "C:\\Program Files (x86)");

  // A 32-bit prefix has no #arch line.
  std::ofstream(prefix / "system.reg", std::ios::trunc) << "WINE REGISTRY Version 2\n\n[Software] 1\n";
  EXPECT_FALSE(wine.is64Bit());
  EXPECT_EQ(wine.programFilesX86Folder(), "");
}
#endif

TEST(WineRegistry, AKeyLineOfFortyFiveThousandPartsIsReadWholeAndALookAtOneKeyBuildsNoTree) {
  // The shape of a hostile system.reg: one key line 45,000 parts deep, a
  // value at its end, and a value name given twice.
  std::string text = "WINE REGISTRY Version 2\n\n[";
  for (int part = 0; part < 45000; ++part) text += (part ? "\\\\" : "") + std::string(part % 2 ? "b" : "A");
  text += "] 1700000000\n\"Deep\"=\"end\"\n";
  text +=
      "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n"
      "\"ProgramFilesDir\"=\"C:\\\\Old\"\n\"Other\"=dword:00000001\n\"programfilesdir\"=\"C:\\\\Program Files\"\n";
  const WineRegistry whole = WineRegistry::parse(text);
  // The root, 45,000 nested keys and the four of the second line.
  EXPECT_EQ(whole.keyCount(), 1u + 45000u + 4u);
  std::vector<std::string> deep;
  for (int part = 0; part < 45000; ++part) deep.push_back(part % 2 ? "B" : "a");
  const WineRegistry::Key* end = whole.find(deep);
  ASSERT_NE(end, nullptr);
  ASSERT_EQ(end->values.size(), 1u);
  EXPECT_EQ(registryText(end->values[0]), "end");
  deep.pop_back();
  ASSERT_NE(whole.find(deep), nullptr);
  EXPECT_EQ(whole.find(deep)->subkeys, std::vector<std::string>{"b"});

  // A name given twice keeps its first place and takes its last data.
  const std::vector<std::string> currentVersion = {"software", "MICROSOFT", "Windows", "CurrentVersion"};
  const WineRegistry::Key* cv = whole.find(currentVersion);
  ASSERT_NE(cv, nullptr);
  ASSERT_EQ(cv->values.size(), 2u);
  EXPECT_TRUE(equalsNoCase(cv->values[0].name, "ProgramFilesDir"));
  EXPECT_EQ(cv->values[1].name, "Other");
  EXPECT_EQ(registryText(cv->values[0]), "C:\\Program Files");

  // Only the one key: the deep line is passed over, not built.
  const WineRegistry one = WineRegistry::parse(text, &currentVersion);
  EXPECT_EQ(one.keyCount(), 1u + 4u);
  ASSERT_NE(one.find(currentVersion), nullptr);
  EXPECT_EQ(registryText(one.find(currentVersion)->values[0]), "C:\\Program Files");
  EXPECT_EQ(one.find({"a"}), nullptr);
}
