// The command-line grammar: which way of running each line asks for.
#include "hosts/windows/command_line.hpp"

#include <gtest/gtest.h>

namespace {

using saver::launch_kind;
using saver::parse_command_line;

TEST(CommandLine, ScreensaverLetterInAnySpellingAndIgnoresTheRest) {
    for (const wchar_t* line : {L"/s", L"-s", L"S", L"   /S", L"/ s", L"-S", L"/sfoo", L"s 123"}) {
        EXPECT_EQ(parse_command_line(line).kind, launch_kind::screensaver) << line;
    }
}

TEST(CommandLine, PreviewReadsTheDecimalHandle) {
    auto launch = parse_command_line(L"/p 1234");
    EXPECT_EQ(launch.kind, launch_kind::preview);
    EXPECT_EQ(launch.preview_handle, 1234u);
    EXPECT_EQ(parse_command_line(L"/P1234").preview_handle, 1234u);
    EXPECT_EQ(parse_command_line(L"-p   77 trailing").preview_handle, 77u);
    EXPECT_EQ(parse_command_line(L"/p 12ab").preview_handle, 12u);
}

TEST(CommandLine, PreviewWithoutAUsableNumberHasHandleZero) {
    for (const wchar_t* line : {L"/p", L"/p ", L"/p:1234", L"/p 0", L"/p abc"}) {
        auto launch = parse_command_line(line);
        EXPECT_EQ(launch.kind, launch_kind::preview) << line;
        EXPECT_EQ(launch.preview_handle, 0u) << line;
    }
}

TEST(CommandLine, ConfigureLetter) {
    for (const wchar_t* line : {L"/c", L"/C:5678", L"c", L"  -c"}) {
        EXPECT_EQ(parse_command_line(line).kind, launch_kind::configure) << line;
    }
}

TEST(CommandLine, AnythingElseIsApplicationMode) {
    for (const wchar_t* line : {L"", L"/a", L"/x", L"\t/s", L"5", L"///", L"- - -", L"é"}) {
        EXPECT_EQ(parse_command_line(line).kind, launch_kind::application) << line;
    }
    EXPECT_EQ(parse_command_line(nullptr).kind, launch_kind::application);
}

}  // namespace
