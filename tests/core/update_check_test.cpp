// Reading the version page and comparing versions: only a version counts,
// and versions compare part by part as numbers.
#include <gtest/gtest.h>

#include <string>

#include "core/editor/update_check.hpp"

namespace velmor {
namespace {

TEST(UpdateCheck, ReadsTheVersionBetweenBodyAndTheNextClosingTag) {
  EXPECT_EQ(latestVersionText("<html><body>  2.2\r\n </body></html>"), "2.2");
  EXPECT_EQ(latestVersionText("<body>\n2.\n10</p></body>"), "2.10");
  EXPECT_EQ(latestVersionText("<body>12345678901234567890</body>"), "12345678901234567890");
  for (const char* page :
       {"no body here", "<body>2.2", "<body></body>", "<body>Hello</body>", "<body>2..2</body>", "<body>.2</body>",
        "<body>2.</body>", "<body>v2.2</body>", "<body>123456789012345678901</body>", "<BODY>2.2</BODY>"}) {
    EXPECT_FALSE(latestVersionText(page)) << page;
  }
}

TEST(UpdateCheck, ComparesVersionsPartByPartAsNumbers) {
  EXPECT_GT(compareVersions("2.10", "2.9"), 0);
  EXPECT_LT(compareVersions("2.9", "2.10"), 0);
  EXPECT_NE(compareVersions("2.10", "2.1"), 0);
  EXPECT_EQ(compareVersions("2.1", "2.1.0"), 0);
  EXPECT_EQ(compareVersions("02.01", "2.1"), 0);
  EXPECT_GT(compareVersions("2.1.1", "2.1"), 0);
  EXPECT_GT(compareVersions("3", "2.99"), 0);
  // Parts longer than any integer still compare as numbers.
  EXPECT_GT(compareVersions("2.100000000000000000", "2.99999999999999999"), 0);
}

TEST(UpdateCheck, AnswersOnlyFromAVersion) {
  const UpdateAnswer newer = answerForPage("<html>\n<body> 2.2 \n</body>", "2.1");
  EXPECT_EQ(newer.text, "An update is available: 2.2");
  EXPECT_TRUE(newer.updateAvailable);
  EXPECT_EQ(answerForPage("<body>2.1</body>", "2.1").text, "Your version is up to date.");
  EXPECT_FALSE(answerForPage("<body>2.0.9</body>", "2.1").updateAvailable);
  EXPECT_TRUE(answerForPage("<body>2.10</body>", "2.9").updateAvailable);

  // What lies past the first 1000 bytes is never read.
  const std::string late = std::string(995, ' ') + "<body>9.9</body>";
  EXPECT_EQ(answerForPage(late, "2.1").text, "Could not check for updates: the version page holds no version.");
  EXPECT_FALSE(answerForPage(late, "2.1").updateAvailable);
  EXPECT_EQ(answerForPage("", "2.1").text, "Could not check for updates: the version page holds no version.");
  EXPECT_EQ(answerForFailure("Connection refused.").text, "Could not check for updates: Connection refused.");
}

TEST(UpdateCheck, KnowsThePlaceholderAddressesFromRealOnes) {
  EXPECT_TRUE(isPlaceholderAddress("https://velmor.example.org/version.html"));
  EXPECT_TRUE(isPlaceholderAddress("HTTPS://Velmor.Example.ORG./version.html"));
  EXPECT_TRUE(isPlaceholderAddress("http://www.velmor.example.org:8080/v"));
  EXPECT_TRUE(isPlaceholderAddress("http://user:pw@velmor.example.org/v"));
  EXPECT_FALSE(isPlaceholderAddress("http://127.0.0.1:8000/version.html"));
  EXPECT_FALSE(isPlaceholderAddress("https://notvelmor.example.org/version.html"));
  EXPECT_FALSE(isPlaceholderAddress("https://velmor.example.org.evil.test/"));
  EXPECT_FALSE(isPlaceholderAddress("http://mirror.test/velmor.example.org/version.html"));
  EXPECT_EQ(answerForNoAddress().text, "No update address is configured for this build");
  EXPECT_FALSE(answerForNoAddress().updateAvailable);
}

}  // namespace
}  // namespace velmor
