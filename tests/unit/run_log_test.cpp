// Time stamps, log file choice, exit-code lines and the typed formatter behind them.
#include "run/run_log.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace quorvane {
namespace {

TEST(RunLog, TimeStampPadsWithBlanksAndEndsInABlank) {
  EXPECT_EQ(FormatTimeStamp({2026, 12, 7, 14, 5, 3, 42}), L"2026/12/ 7 14: 5: 3: 42 ");
  EXPECT_EQ(FormatTimeStamp({2027, 1, 1, 0, 0, 0, 0}), L"2027/ 1/ 1  0: 0: 0:  0 ");
  EXPECT_EQ(FormatTimeStamp({2026, 10, 31, 23, 59, 59, 999}), L"2026/10/31 23:59:59:999 ");
}

TEST(RunLog, FileFollowsTheLogFolder) {
  EXPECT_EQ(LogFilePath(L""), L"X:\\Quorvane.log");
  EXPECT_EQ(LogFilePath(L"M:"), L"M:\\Quorvane.log");
}

TEST(RunLog, ExitCodesAreLowerCaseHexWithoutLeadingZeros) {
  EXPECT_EQ(ExitCodeText(259), L"ExitCode:0x103");
  EXPECT_EQ(ExitCodeText(0), L"ExitCode:0x0");
  EXPECT_EQ(ExitCodeText(0xC0000135u), L"ExitCode:0xc0000135");
  EXPECT_EQ(BoolText(true), L"true");
  EXPECT_EQ(BoolText(false), L"false");
}

TEST(Format, ConversionsUsedByTheLogTexts) {
  EXPECT_EQ(Format(L"HDD %d, %s, #P=%d, %s", {3, L"Disk", -1, std::wstring(L"GPT")}),
            L"HDD 3, Disk, #P=-1, GPT");
  EXPECT_EQ(Format(L"[%d]%d %d %s %.2fGB", {0, 1, 2, L"D:", 0.09766f}), L"[0]1 2 D: 0.10GB");
  EXPECT_EQ(Format(L"100%% %x|%3d|%-3d|", {255u, 7, 7}), L"100% ff|  7|7  |");
  EXPECT_EQ(Format(L"%d %d", {1}), L"1 %d");  // a missing argument is printed as written
}

TEST(Text, DecimalParsingStopsAtTheFirstNonDigitAndSaturates) {
  EXPECT_EQ(ParseInt32(L"  42abc"), 42);
  EXPECT_EQ(ParseInt32(L"-17"), -17);
  EXPECT_EQ(ParseInt32(L"abc"), 0);
  EXPECT_EQ(ParseInt32(L""), 0);
  EXPECT_EQ(ParseInt32(L"99999999999"), INT32_MAX);
  EXPECT_EQ(ParseInt32(L"-99999999999"), INT32_MIN);
  EXPECT_EQ(ParseInt32(L"-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseInt64(L"500107862016"), 500107862016LL);
  EXPECT_EQ(ParseInt64(L"99999999999999999999999"), INT64_MAX);
}

TEST(Text, CaseTrimAndEightBitText) {
  EXPECT_EQ(ToUpperAscii(L"Push Button \u00e9"), L"PUSH BUTTON \u00e9");
  EXPECT_TRUE(EqualsIgnoreCaseAscii(L"pqservice", L"PQSERVICE"));
  EXPECT_FALSE(EqualsIgnoreCaseAscii(L"PQSERVICE ", L"PQSERVICE"));
  EXPECT_EQ(Trim(L" \t Index : 3 \r"), L"Index : 3");
  EXPECT_EQ(WidenTextFile("a\r\nb\xe9\n"), L"a\nb\u00e9\n");
  EXPECT_EQ(FromUtf8(ToUtf8(L"Bo\u00eete \u4e2d")), L"Bo\u00eete \u4e2d");
}

}  // namespace
}  // namespace quorvane
