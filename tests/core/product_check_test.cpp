// The product check on mkgmap's north set, whole and then damaged the ways
// map makers damage theirs: each damage gives its own error, and files that
// cannot be read are findings, never a crash or a hang. The scanner and the
// bounds from tiles treat a file cut short as the failure it is.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>

#include "core/check/installed_check.hpp"
#include "core/check/product_check.hpp"
#include "core/img/img_scanner.hpp"
#include "core/img/overview_bounds.hpp"
#include "core/product/loader.hpp"
#include "support/fake_install.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

using namespace velmor;
using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

// A copy of the north set (product file, basemap, two tiles, MDX, MDR) to damage.
std::string northCopy() {
  const std::string folder = tempDir();
  for (const auto& entry : fs::directory_iterator(std::string(VELMOR_TEST_DATA) + "/north"))
    fs::copy_file(entry.path(), fs::path(folder) / entry.path().filename());
  return folder;
}

void writeBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The errors of a check, each as its text.
std::vector<std::string> errorsOf(const Findings& findings) {
  std::vector<std::string> errors;
  for (const Finding& f : findings)
    if (f.level == FindingLevel::Error) errors.push_back(f.text);
  return errors;
}

::testing::AssertionResult oneErrorSaying(const Findings& findings, const std::string& part) {
  const auto errors = errorsOf(findings);
  if (errors.size() == 1 && errors[0].find(part) != std::string::npos) return ::testing::AssertionSuccess();
  auto failure = ::testing::AssertionFailure() << "wanted one error with \"" << part << "\", got:\n";
  for (const Finding& f : findings) failure << findingLine(f) << "\n";
  return failure;
}

// A TYP header of 0x5B bytes with the given ids.
Bytes typFile(std::uint16_t familyId, std::uint16_t productId) {
  Bytes bytes(0x5B, 0);
  bytes[0] = 0x5B;
  const std::string signature = "GARMIN TYP";
  std::copy(signature.begin(), signature.end(), bytes.begin() + 2);
  bytes[0x15] = 0xE4;  // code page 1252
  bytes[0x16] = 0x04;
  bytes[0x2F] = static_cast<std::uint8_t>(familyId & 0xFF);
  bytes[0x30] = static_cast<std::uint8_t>(familyId >> 8);
  bytes[0x31] = static_cast<std::uint8_t>(productId & 0xFF);
  bytes[0x32] = static_cast<std::uint8_t>(productId >> 8);
  return bytes;
}

}  // namespace

TEST(ProductCheck, TheNorthSetIsSoundAndEachDamageGivesItsOwnError) {
  const std::string folder = northCopy();
  const std::string tdb = folder + "/north.tdb";
  ProductCheck sound = checkProductFiles(tdb, {});
  ASSERT_TRUE(sound.productRead);
  EXPECT_TRUE(errorsOf(sound.findings).empty()) << findingsText(sound.findings);
  EXPECT_EQ(sound.product.familyId, 4660);
  EXPECT_EQ(sound.product.tiles, (std::vector<std::int32_t>{63240001, 63240002}));
  writeBytes(folder + "/north.typ", typFile(4660, 1));
  EXPECT_TRUE(errorsOf(checkProductFiles(tdb, {}).findings).empty());

  // A TYP made for another family.
  writeBytes(folder + "/north.typ", typFile(777, 1));
  EXPECT_TRUE(oneErrorSaying(checkProductFiles(tdb, {}).findings, "north.typ is for family id 777"));
  fs::remove(folder + "/north.typ");

  // An MDX of another family.
  const Bytes mdx = readFile(folder + "/north.mdx");
  Bytes wrongMdx = mdx;
  wrongMdx[14 + 6] = 0x99;
  writeBytes(folder + "/north.mdx", wrongMdx);
  EXPECT_TRUE(oneErrorSaying(checkProductFiles(tdb, {}).findings, "family id 4761 instead of 4660"));
  writeBytes(folder + "/north.mdx", mdx);

  // A tile gone from the folder.
  fs::rename(folder + "/63240002.img", folder + "/elsewhere");
  EXPECT_TRUE(oneErrorSaying(checkProductFiles(tdb, {}).findings, "no IMG among the files: 63240002.img"));
  fs::rename(folder + "/elsewhere", folder + "/63240002.img");

  // An overview whose north edge lies south of the tiles' (the overview
  // block's north bound is at body offset 8).
  Bytes product = readFile(tdb);
  for (std::size_t at = 0; at + 3 <= product.size();) {
    const std::size_t length = product[at + 1] | product[at + 2] << 8;
    if (product[at] == 0x42) {
      const Bytes north = le32(static_cast<std::uint32_t>(51.5 / 360.0 * 4294967296.0));
      std::copy(north.begin(), north.end(), product.begin() + static_cast<std::ptrdiff_t>(at + 3 + 8));
    }
    at += 3 + length;
  }
  writeBytes(tdb, product);
  EXPECT_TRUE(oneErrorSaying(checkProductFiles(tdb, {}).findings, "the overview bounds (N 51.49999"));
}

// FIFOs are POSIX files.
#ifndef _WIN32
TEST(ProductCheck, UnreadableInputIsAFindingNeverACrashOrAHang) {
  const std::string folder = northCopy();
  const std::string tdb = folder + "/north.tdb";
  // A tile cut short: its directory names blocks past its end.
  Bytes tile = readFile(folder + "/63240001.img");
  tile.resize(tile.size() / 2);
  writeBytes(folder + "/63240001.img", tile);
  // A FIFO named like a tile, given on the command line: never opened for reading.
  const std::string fifo = folder + "/63240002.img";
  fs::remove(fifo);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::vector<std::string> files;
  for (const char* name : {"north.tdb", "north.img", "north.mdx", "63240001.img", "63240002.img"})
    files.push_back(folder + "/" + name);
  const Findings findings = checkProductFiles(tdb, files).findings;
  const auto errors = errorsOf(findings);
  ASSERT_EQ(errors.size(), 2u) << findingsText(findings);
  EXPECT_EQ(errors[0], std::string("63240001.img: ") + kImgTruncated);
  EXPECT_NE(errors[1].find("63240002.img: "), std::string::npos) << errors[1];
  // The folder's own listing leaves the FIFO out: there the tile is missing.
  const auto listed = errorsOf(checkProductFiles(tdb, {}).findings);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0], errors[0]);
  EXPECT_EQ(listed[1], "1 detail map has no IMG among the files: 63240002.img");

  // No product file at all.
  const ProductCheck none = checkProductFiles(folder + "/missing/north.tdb", {});
  EXPECT_FALSE(none.productRead);
  EXPECT_TRUE(oneErrorSaying(none.findings, "cannot read the product file"));

  // The scanner calls the cut tile truncated, not "no data", and bounds
  // taken from it (or from a file that is not there) set nothing.
  RecordingPrompter prompter;
  const ImgScanResult scan = loadbinaryfst(folder + "/63240001.img", prompter);
  EXPECT_TRUE(scan.truncated);
  EXPECT_EQ(prompter.messages, std::vector<std::string>{kImgTruncated});
  // A bare TRE header of 0xBC bytes cut at 0x40: truncated too, not "no data".
  Bytes tre(0x40, 0);
  tre[0] = 0xBC;
  const std::string signature = "GARMIN TRE";
  std::copy(signature.begin(), signature.end(), tre.begin() + 2);
  prompter.messages.clear();
  EXPECT_TRUE(loadbinaryfst(writeTemp(tre, "cut.tre"), prompter).truncated);
  // Its first byte (the header length) is not 0, which a scan always notes.
  EXPECT_EQ(prompter.messages, (std::vector<std::string>{kNeedsXorring, kImgTruncated}));
  prompter.messages.clear();
  ProductFile file;
  ProductForm form;
  ASSERT_EQ(openProduct(file, form, tdb, prompter), LoadStatus::Read);
  const auto before = form.overviewNorth;
  for (const std::string& bad : {folder + "/63240001.img", folder + "/no such.img"}) {
    const CreateTdbResult result = create_tdb(file, form, {bad, folder + "/north.img"}, prompter);
    EXPECT_FALSE(result.boundsFound) << bad;
    EXPECT_EQ(result.failedFiles, std::vector<std::string>{bad});
    EXPECT_EQ(form.overviewNorth, before);
    EXPECT_FALSE(file.modified);
  }
}
#endif

TEST(InstalledCheck, RegistryValuesThatLeadNowhereAndClashesAreErrors) {
  const std::string folder = northCopy();
  FakeInstallEnvironment env;
  const std::string families = "SOFTWARE\\Garmin\\MapSource\\Families\\";
  // "Other" is sound but has our family id; "Broken" points at nothing and has a 3-byte ID.
  env.registryReader.binary(families + "Other", "ID", {0x34, 0x12})
      .text(families + "Other\\1", "LOC", "C:\\Other\\")
      .text(families + "Other\\1", "TDB", "C:\\Other\\north.tdb")
      .binary(families + "Broken", "ID", {0x34, 0x12, 0})
      .text(families + "Broken", "IDX", "C:\\Gone\\broken.mdx")
      .text(families + "Broken\\1", "LOC", "C:\\Gone\\")
      .text(families + "Broken\\1", "TDB", "C:\\Gone\\broken.tdb");
  env.files["c:\\other\\north.tdb"] = folder + "/north.tdb";
  env.folders["c:\\other\\"] = folder;

  Findings registryOnly = checkInstalled(env, nullptr);
  std::vector<std::string> errors = errorsOf(registryOnly);
  ASSERT_EQ(errors.size(), 4u) << findingsText(registryOnly);
  EXPECT_EQ(errors[0].find("installed family \"Broken\": its ID is not 2 bytes"), 0u);
  EXPECT_NE(errors[1].find("IDX names a file that does not exist: C:\\Gone\\broken.mdx"), std::string::npos);
  EXPECT_NE(errors[2].find("LOC names a folder that does not exist: C:\\Gone\\"), std::string::npos);
  EXPECT_NE(errors[3].find("TDB names a file that does not exist: C:\\Gone\\broken.tdb"), std::string::npos);

  // Another product of family 4660 with one of Other's tile numbers clashes twice;
  // Other's own product file checked against itself does not.
  CheckedProduct ours{folder + "/mine.tdb", "Mine", 4660, 1, {63240002, 70000001}};
  errors = errorsOf(checkInstalled(env, &ours));
  ASSERT_EQ(errors.size(), 6u);
  EXPECT_EQ(errors[4].find("family id 4660 is already used by installed product \"other\""), 0u) << errors[4];
  EXPECT_EQ(errors[5], "1 tile number is also used by installed product \"other\" (c:\\other\\north.tdb): 63240002");
  ours.path = folder + "/north.tdb";
  EXPECT_EQ(errorsOf(checkInstalled(env, &ours)).size(), 4u);
}
