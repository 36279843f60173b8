// The native profile reading and writing against the answers of
// GetPrivateProfileStringW / WritePrivateProfileStringW for the corpus in
// tests/profile_corpus. tests/e2e/profile_compare.sh checks the same corpus
// against the real functions under Wine; with ZTRM_PROFILE_ANSWERS_DIR set,
// this test leaves its own answers there for that comparison.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/native/native_platform.h"
#include "tests/profile_corpus/probe_format.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {
namespace fs = std::filesystem;
using probe_format::Unescape;

const std::string kCorpus = std::string(ZTRM_SOURCE_DIR) + "/tests/profile_corpus";

void Spill(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Where to leave answers for the Wine comparison; empty when nobody asked.
std::string AnswersDir() {
  const char* dir = std::getenv("ZTRM_PROFILE_ANSWERS_DIR");
  return dir ? dir : "";
}

TEST(ProfileCorpus, NativeReadingGivesTheAnswersOfTheRealFunction) {
  TestImage image;
  fs::copy(kCorpus + "/files", image.Path("drive_c/corpus"), fs::copy_options::recursive);
  NativePlatform native(image.root());
  ProfileFiles& profiles = native.platform().profiles;

  std::map<std::string, std::string> known;
  for (const auto& fields : probe_format::SplitRecords(ReadSourceFile("tests/profile_corpus/known_differences.tsv"))) {
    ASSERT_GE(fields.size(), 3u);
    known[fields[0]] = fields[1];
  }

  auto queries = probe_format::SplitRecords(ReadSourceFile("tests/profile_corpus/queries.tsv"));
  ASSERT_GE(queries.size(), 100u);
  std::string answers;
  for (const auto& q : queries) {
    ASSERT_EQ(q.size(), 5u) << "query " << q[0];
    WString value = profiles.ReadString(u"C:\\corpus\\" + Unescape(q[1]), Unescape(q[2]), Unescape(q[3]), u"", 260);
    std::string got = probe_format::Escape(value);
    answers += q[0] + "\t" + got + "\n";
    auto it = known.find(q[0]);
    const std::string& expected = it == known.end() ? q[4] : it->second;
    EXPECT_EQ(got, expected) << q[0] << ": [" << q[2] << "] " << q[3] << " in " << q[1];
  }
  if (!AnswersDir().empty()) Spill(AnswersDir() + "/answers.txt", answers);
}

TEST(ProfileCorpus, NativeWritingLeavesTheBytesOfTheRealFunction) {
  TestImage image;
  fs::copy(kCorpus + "/write_seeds", image.Path("drive_c/writes"), fs::copy_options::recursive);
  NativePlatform native(image.root());
  ProfileFiles& profiles = native.platform().profiles;

  std::string results;
  std::string scenario;
  int op = 0;
  std::vector<std::string> files;
  for (const auto& f : probe_format::SplitRecords(ReadSourceFile("tests/profile_corpus/writes.tsv"))) {
    ASSERT_GE(f.size(), 4u);
    if (f[0] != scenario) {
      scenario = f[0];
      op = 0;
    }
    ++op;
    WString path = u"C:\\writes\\" + Unescape(f[2]);
    std::u16string outcome;
    if (f[1] == "W") {
      ASSERT_EQ(f.size(), 6u);
      outcome += profiles.WriteString(path, Unescape(f[3]), Unescape(f[4]), Unescape(f[5])) ? u'1' : u'0';
    } else {
      ASSERT_EQ(f[1], "T");
      std::vector<unsigned> slots = probe_format::TableSlots(f[3]);
      for (unsigned i = 1; i <= 255; ++i) {
        bool ok = profiles.WriteString(path, u"ChassisMappingID", u"Chassis" + WidenBytes(std::to_string(i)),
                                       WidenBytes(std::to_string(slots[i])));
        outcome += ok ? u'1' : u'0';
      }
    }
    results += f[0] + "\t" + std::to_string(op) + "\t" + probe_format::Escape(outcome) + "\n";
    files.push_back(f[2]);
  }

  std::string expected_results;
  for (const auto& r : probe_format::SplitRecords(ReadSourceFile("tests/profile_corpus/write_results.tsv"))) {
    expected_results += r[0] + "\t" + r[1] + "\t" + r[2] + "\n";
  }
  EXPECT_EQ(results, expected_results);

  for (const std::string& name : files) {
    if (fs::exists(kCorpus + "/write_expected/" + name)) {
      EXPECT_EQ(image.Read("drive_c/writes/" + name), ReadSourceFile("tests/profile_corpus/write_expected/" + name))
          << name;
    } else {
      EXPECT_FALSE(image.Exists("drive_c/writes/" + name)) << name << " should not have been written";
    }
  }
  if (!AnswersDir().empty()) {
    Spill(AnswersDir() + "/write_results.txt", results);
    for (const auto& entry : fs::directory_iterator(image.Path("drive_c/writes"))) {
      const std::string name = entry.path().filename().string();
      if (entry.is_regular_file()) Spill(AnswersDir() + "/writes/" + name, image.Read("drive_c/writes/" + name));
    }
  }
}

}  // namespace
}  // namespace ztrm
