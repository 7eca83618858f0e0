#include "shared/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "shared/text.h"
#include "support/test_env.h"

namespace pagorin {
namespace {

using testing::FaultyFileSystem;
using testing::TestEnv;
using Op = FaultyFileSystem::Op;

class SettingsTest : public ::testing::Test {
 protected:
  void Load(const std::string& text) {
    t.WriteFile(file, text);
    store.LoadSettings(file);
  }
  std::string Save() {
    store.SaveSettings(file);
    return t.ReadFile(file);
  }
  // Every entry as "NAME=value;", in list order.
  std::string Dump() const {
    std::string dump;
    for (const cSHAREDSetting& entry : store.entries()) {
      dump += entry.KeyName + "=" + entry.KeyValue.Text() + ";";
    }
    return dump;
  }

  TestEnv t;
  cSHAREDSettings store{t.env};
  std::string file = t.Path("site/Pagorin.ini");
};

TEST(SettingValueTest, TextNumberAndTruth) {
  struct Case {
    SettingValue value;
    std::string text;
    std::int64_t number;  // AsNumber(-1)
    bool truth;
  };
  const std::vector<Case> cases = {
      {SettingValue(true), "True", -1, true},
      {SettingValue(false), "False", -1, false},
      {SettingValue(42), "42", 42, true},
      {SettingValue(std::int64_t{-9000000000}), "-9000000000", -9000000000, true},
      {SettingValue(" 17 "), " 17 ", 17, true},
      {SettingValue("12abc"), "12abc", 12, true},
      {SettingValue(" -3 apples"), " -3 apples", -3, true},
      {SettingValue("0"), "0", 0, false},
      {SettingValue(" tRUE "), " tRUE ", -1, true},
      {SettingValue("abc"), "abc", -1, false},
      {SettingValue("99999999999999999999"), "99999999999999999999", -1, false},
      {SettingValue(), "", -1, false},
      {SettingValue::Date(testing::FixedNow()), "03/07/24", 3, true},  // the C locale's %x
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.text, c.value.Text());
    EXPECT_EQ(c.number, c.value.AsNumber(-1));
    EXPECT_EQ(c.truth, c.value.AsBool());
  }
}

TEST_F(SettingsTest, TrickyLinesLoadAsWrittenAndSaveUpperCased) {
  Load(
      "TITLE,Hello, world\r\nFLAG, true \r\nkey,1\r\nA,1\r\nA,2\r\nB,1\r\nC,2\r\nB,3\r\n"
      "q,1\r\nQ,2\r\nm,x\r\nm,y\r\nno comma here\r\n  ,blank name\r\nEMPTY,\r\nOFF,FALSE\r\nQ2,x");
  EXPECT_EQ("A=1;B=3;C=2;EMPTY=;FLAG=True;OFF=False;Q2=x;TITLE=Hello, world;key=1;m=y;q=1;",
            Dump());
  EXPECT_EQ(SettingValue::Kind::kBoolean, store.sGet("flag").kind());
  EXPECT_TRUE(store.RetrieveSetting("key").IsEmpty());  // looked up as KEY
  EXPECT_EQ(
      "A,1\r\nB,3\r\nC,2\r\nEMPTY,\r\nFLAG,True\r\nOFF,False\r\nQ2,x\r\n"
      "TITLE,Hello, world\r\nKEY,1\r\nM,y\r\nQ,1\r\n",
      Save());
}

TEST_F(SettingsTest, SaveWritesEachNameOnceAndOneEntryPerLine) {
  Load("zz,1\r\n");
  store.StoreSetting("Zz", "2");
  store.StoreSetting("a,b", 5);
  store.StoreSetting(",", "never written");
  store.StoreSetting("note", "one\r\ntwo\rthree\nfour");
  EXPECT_EQ(5, store.RetrieveSetting("AB").AsNumber());
  EXPECT_EQ("AB,5\r\nNOTE,one\x10M\x10Jtwo\x10Mthree\x10Jfour\r\nZZ,2\r\n", Save());
  store.LoadSettings(file);
  EXPECT_EQ("one\r\ntwo\rthree\nfour", store.sGet("NOTE").Text());
}

// Every byte, in names and in values, alone and around line ends, comes
// back as it was stored.
TEST_F(SettingsTest, EveryByteInNamesAndValuesReadsBackAsStored) {
  Load("");
  std::string every_byte;
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    every_byte += byte;
    store.StoreSetting("K" + byte, "v" + byte + "\r\n" + byte + "\n\r" + byte);
    store.StoreSetting(byte + "N" + byte, byte);
  }
  store.StoreSetting("ALL", every_byte + every_byte);
  std::vector<std::pair<std::string, std::string>> stored;
  for (const cSHAREDSetting& entry : store.entries()) {
    stored.emplace_back(entry.KeyName, entry.KeyValue.Text());
  }
  const std::string text = Save();
  ASSERT_TRUE(store.LoadSettings(file));
  std::vector<std::pair<std::string, std::string>> loaded;
  for (const cSHAREDSetting& entry : store.entries()) {
    loaded.emplace_back(entry.KeyName, entry.KeyValue.Text());
  }
  // A name of blanks only is never written, as before.
  std::erase_if(stored, [](const auto& entry) { return Trim(entry.first).empty(); });
  EXPECT_EQ(stored, loaded);
  EXPECT_EQ(text, Save());
}

// Files written before line ends were escaped read as they always did.
TEST_F(SettingsTest, OlderFilesWithRawBytesReadUnchanged) {
  std::string every_byte;
  for (int b = 0; b < 256; ++b) {
    if (b != '\n' && b != '\r' && b != 0x10) {
      every_byte += static_cast<char>(b);
    }
  }
  Load("BIN," + every_byte + "\r\n" + std::string("N\0UL,x\0y\r\n", 10) +
       "WRAP,a\nb\rc\r\r\nTAG,x\ny\r\n");
  EXPECT_EQ(every_byte, store.sGet("BIN").Text());
  EXPECT_EQ(std::string("x\0y", 3), store.sGet(std::string("N\0UL", 4)).Text());
  EXPECT_EQ("a\nb\rc\r", store.sGet("WRAP").Text());
  EXPECT_EQ("x\ny", store.sGet("TAG").Text());
}

TEST_F(SettingsTest, OtherLineEndsReadAsLinesAndMissingFilesLoseNothing) {
  for (const char* text : {"A,1\nB,2\n", "A,1\rB,2\r", "A,1\nB,2", "A,1\r\nB,2\r\n"}) {
    Load(text);
    EXPECT_EQ("A=1;B=2;", Dump()) << text;
    EXPECT_EQ("A,1\r\nB,2\r\n", Save()) << text;
  }
  store.LoadSettings(t.Path("nowhere/Pagorin.ini"));
  EXPECT_EQ(0, store.SettingsCount());
  EXPECT_TRUE(t.ui.messages.empty());
  EXPECT_TRUE(t.ui.error_reports.empty());
}

TEST_F(SettingsTest, HundredThousandLinesLoadSortedAndSaveWhole) {
  std::string reversed, sorted;
  for (int i = 0; i < 100000; ++i) {
    const std::string up = std::to_string(100000 + i), down = std::to_string(199999 - i);
    sorted += "K" + up + ",v" + up + "\r\n";
    reversed += "K" + down + ",v" + down + "\r\n";
  }
  Load(reversed);
  ASSERT_EQ(100000, store.SettingsCount());
  EXPECT_EQ("v150000", store.sGet("k150000").Text());
  EXPECT_EQ(sorted, Save());
}

// The load rules applied one line at a time: adjacent repeats of a name
// skipped, blank names skipped, the last of non-adjacent repeats kept, true
// and false words made booleans; the result as SettingsTest::Dump gives it.
std::string LineByLine(const std::string& text) {
  std::map<std::string, std::string> store;
  std::string previous;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find("\r\n", start), text.size());
    const std::string line = text.substr(start, end - start);
    start = end + 2;
    const std::size_t comma = line.find(',');
    if (comma == std::string::npos) {
      previous.clear();
      continue;
    }
    const std::string name = line.substr(0, comma), value = line.substr(comma + 1);
    const bool skip = name == UCase(Trim(previous)) || Trim(name).empty();
    previous = name;
    if (!skip) {
      const std::string word = UCase(Trim(value));
      store[name] = word == "TRUE" ? "True" : word == "FALSE" ? "False" : value;
    }
  }
  std::string dump;
  for (const auto& [name, value] : store) {
    dump += name + "=" + value + ";";
  }
  return dump;
}

// Names are unique in the store, so any correct sort gives the order of the
// bidirectional bubble sort the program first used.
TEST_F(SettingsTest, LoadFollowsTheRulesLineByLineOnRandomFiles) {
  const std::vector<std::string> pieces = {"A", "a", "B", "b", " ", "_", "1", "\xE9", ""};
  const std::vector<std::string> values = {"1", " true", "FALSE ", "x,y", "", "v"};
  std::mt19937 random(20240307);
  for (int round = 0; round < 20; ++round) {
    std::string text, line;
    for (int n = 0; n < 2000; ++n) {
      if (random() % 4 != 0 || line.empty()) {  // otherwise the line repeats
        std::string name;
        for (unsigned length = random() % 3; length > 0; --length) {
          name += pieces[random() % pieces.size()];
        }
        // Few names, so that most come back non-adjacent with another value.
        const std::string value =
            random() % 3 == 0 ? values[random() % values.size()] : "v" + std::to_string(n);
        line = random() % 20 == 0 ? name : name + "," + value;
      }
      text += line + "\r\n";
    }
    Load(text);
    ASSERT_EQ(LineByLine(text), Dump()) << text;
  }
}

TEST_F(SettingsTest, LookupsUpperCaseTheNameAndFallBack) {
  store.StoreSetting("off", " false ");
  store.StoreSetting("n", 7);
  EXPECT_EQ(SettingValue(false), store.RetrieveSetting("OFF"));
  EXPECT_EQ(SettingValue(7), store.sGet("n", 5));
  EXPECT_EQ(SettingValue(5), store.sGet("missing", 5));
  EXPECT_EQ(SettingValue("d"), store.RetrieveWithDefault("missing", "d"));
  EXPECT_EQ(1, store.SettingPresent(",N,"));  // exact name, commas dropped
  EXPECT_EQ(-1, store.SettingPresent("n"));
  store.DeleteSettingByName("n");  // found upper-cased
  EXPECT_EQ("OFF= false ;", Dump());
}

TEST_F(SettingsTest, SetsSkipTakenNumbersAndCloseGapsOnDelete) {
  EXPECT_EQ(1, store.AddToSet("tags", "x"));
  store.StoreSetting("TAGS_2", "taken");
  EXPECT_EQ(3, store.AddToSet("Tags", "z"));
  EXPECT_EQ("TAGS_1=x;TAGS_2=taken;TAGS_3=z;TAGS_INDEX=3;", Dump());

  Load("TAGS_1,a\r\nTAGS_2,x\r\nTAGS_4,d\r\nTAGS_INDEX,4\r\n");
  EXPECT_EQ(3, store.SetCount("tags"));
  EXPECT_TRUE(store.ValueInSet("tags", std::string(" X \0junk", 8)));
  store.DeleteFromSetByValue("tags", " X ");
  // The missing member 3 moves down as an empty value.
  EXPECT_EQ("TAGS_1=a;TAGS_2=;TAGS_3=d;TAGS_INDEX=3;", Dump());
  EXPECT_FALSE(store.ValueInSet("tags", "x"));
}

TEST_F(SettingsTest, DeleteASetLeavesMembersBeyondCountPlusTen) {
  Load("TAGS_01,not a member\r\nTAGS_1,a\r\nTAGS_12,b\r\nTAGS_50,c\r\nTAGS_INDEX,50\r\n");
  store.DeleteASet("tags");
  EXPECT_EQ("TAGS_01=not a member;TAGS_50=c;", Dump());
}

TEST_F(SettingsTest, DamagedCounterCostsNothingAndChangesNothing) {
  Load("TAGS_1,a\r\nTAGS_INDEX,99999999999\r\n");
  EXPECT_EQ(1, store.SetCount("tags"));
  store.DeleteFromSetByValue("tags", "a");
  EXPECT_EQ(0, store.AddToSet("tags", "b"));
  EXPECT_EQ("TAGS_1=a;TAGS_INDEX=99999999999;", Dump());
  EXPECT_EQ(
      " >> 1: Overflow(6) in DeleteFromSetByIndex of module cSHAREDSettings - 14:35:00\r\n"
      " >> 2: Overflow(6) in AddToSet of module cSHAREDSettings - 14:35:00\r\n",
      t.log.RingText());
}

constexpr const char* kOld = "OLD,1\r\n";
constexpr const char* kNew = "NEW,2\r\n";
constexpr const char* kReadOnly =
    "Your settings file is read-only and I can't change it. Save cancelled.";

// Saving when the disk says no: the previous file must survive whole, with
// no temporary file left beside it, and the person hears exactly why.
class SettingsSaveTest : public SettingsTest {
 protected:
  SettingsSaveTest() {
    t.WriteFile(file, kOld);
    store.StoreSetting("new", 2);
  }
  // The previous file is there untouched, and nothing else is.
  void ExpectOldFileAlone() {
    EXPECT_EQ(kOld, t.ReadFile(file));
    EXPECT_EQ(std::vector<std::string>{"Pagorin.ini"}, t.List(t.Path("site")));
  }
};

TEST_F(SettingsSaveTest, FailedWriteSyncOrRenameKeepsThePreviousFile) {
  for (Op op : {Op::kOpen, Op::kWrite, Op::kSync, Op::kRename}) {
    t.ui.error_reports.clear();
    t.fs.FailNth(op, 1);
    store.SaveSettings(file);
    ExpectOldFileAlone();
    EXPECT_EQ(std::vector<std::string>{"75 - Injected failure in SaveSettings"},
              t.ui.error_reports);
    EXPECT_TRUE(t.ui.messages.empty());
  }
  std::string logged;
  for (char n : {'1', '2', '3', '4'}) {
    logged += std::string(" >> ") + n +
              ": Injected failure(75) in SaveSettings of module cSHAREDSettings - 14:35:00\r\n";
  }
  EXPECT_EQ(logged, t.log.RingText());
}

// The folder the file system holding `path` is mounted on, as df tells it.
std::string MountOf(const std::string& path) {
  std::FILE* df = ::popen(("df --output=target '" + path + "' | tail -n 1").c_str(), "r");
  char line[4096] = {};
  const bool read = df != nullptr && std::fgets(line, sizeof line, df) != nullptr;
  if (df != nullptr) {
    ::pclose(df);
  }
  std::string mount = read ? line : "";
  while (!mount.empty() && (mount.back() == '\n' || mount.back() == ' ')) {
    mount.pop_back();
  }
  return mount;
}

TEST_F(SettingsSaveTest, FullDiskOffersRetryAndCancel) {
  const std::string asked = "You've run out of disk space on drive " + MountOf(file) +
                            ":\r\nPlease clear some space and then click Retry, else click "
                            "Cancel to abort.";
  t.fs.FailNth(Op::kWrite, 1, FsError::kDiskFull, /*persistent=*/true);
  store.SaveSettings(file);  // no answer queued: Cancel
  ExpectOldFileAlone();
  t.fs.FailNth(Op::kWrite, 1, FsError::kDiskFull);
  t.ui.QueueAnswer(Answer::kRetry);
  store.SaveSettings(file);
  EXPECT_EQ(kNew, t.ReadFile(file));
  ASSERT_EQ(2u, t.ui.messages.size());
  for (const auto& message : t.ui.messages) {
    EXPECT_EQ(asked, message.text);
    EXPECT_EQ(Buttons::kRetryCancel, message.buttons);
  }
  EXPECT_EQ(1, store.failed_saves());
}

TEST_F(SettingsSaveTest, FullDiskWithNobodyToAskNamesTheFileAndFails) {
  t.ui.can_ask = false;
  t.fs.FailNth(Op::kWrite, 1, FsError::kDiskFull, /*persistent=*/true);
  EXPECT_FALSE(store.SaveSettings(file));
  ExpectOldFileAlone();
  EXPECT_EQ(
      std::vector<std::string>{"You've run out of disk space on drive " + MountOf(file) + ": " +
                               file + " was not saved. Please clear some space and re-run."},
      t.ui.MessageTexts());
  EXPECT_EQ(Buttons::kOk, t.ui.messages[0].buttons);
  EXPECT_EQ(1, store.failed_saves());
}

TEST_F(SettingsSaveTest, ReadOnlyFileIsMadeWritableOrLeftWhole) {
  ASSERT_TRUE(t.fs.SetReadOnly(file, true).ok());
  t.fs.FailNth(Op::kSetReadOnly, 1, FsError::kAccessDenied, /*persistent=*/true);
  store.SaveSettings(file);
  ExpectOldFileAlone();
  EXPECT_EQ(std::vector<std::string>{kReadOnly}, t.ui.MessageTexts());
  t.fs.Heal();
  store.SaveSettings(file);
  EXPECT_EQ(kNew, t.ReadFile(file));
  EXPECT_EQ(1u, t.ui.messages.size());
}

TEST_F(SettingsSaveTest, FolderThatRefusesFilesIsTriedOnceMore) {
  t.fs.FailNth(Op::kOpen, 1, FsError::kAccessDenied, /*persistent=*/true);
  store.SaveSettings(file);
  ExpectOldFileAlone();
  EXPECT_EQ(2, t.fs.Count(Op::kOpen));
  EXPECT_EQ(std::vector<std::string>{kReadOnly}, t.ui.MessageTexts());
}

TEST_F(SettingsSaveTest, ReadOnlyFolderOnDisk) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root writes into read-only folders";
  }
  ASSERT_EQ(0, chmod(t.Path("site").c_str(), 0555));
  store.SaveSettings(file);
  ExpectOldFileAlone();
  EXPECT_EQ(std::vector<std::string>{kReadOnly}, t.ui.MessageTexts());
}

TEST_F(SettingsSaveTest, MissingFolderGoesToTheErrorReport) {
  const std::string folder = t.Path("gone/");
  store.SaveSettings(folder + "Pagorin.ini");
  EXPECT_EQ(std::vector<std::string>{"53 - open " + folder +
                                     ".Pagorin.ini.tmp: No such file or directory in SaveSettings"},
            t.ui.error_reports);
  EXPECT_FALSE(t.Exists(folder));
}

}  // namespace
}  // namespace pagorin
