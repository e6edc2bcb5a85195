#include <gtest/gtest.h>
#include <stdlib.h>

#include "app/app_options.h"
#include "app/language.h"
#include "app/scenario_script.h"
#include "platform/system/ini.h"
#include "platform/system/registry.h"

namespace vz::app {
namespace {

TEST(Options, CommandLines) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    std::vector<std::string> emulate;  // empty: no emulation
  };
  const Case cases[] = {
      {{}, true, {}},
      {{"--emulate"}, true, {"mouse", "keyboard", "mousepad"}},
      {{"--emulate=mouse,keyboard-rgb"}, true, {"mouse", "keyboard-rgb"}},
      {{"--emulate=mouse,trackball"}, false, {}},
      {{"--emulate", "--trace", "/tmp/t"}, true, {"mouse", "keyboard", "mousepad"}},
      {{"--trace", "/tmp/t"}, false, {}},  // nothing to trace
      {{"--scenario"}, false, {}},
      {{"--frobnicate"}, false, {}},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto options = ParseOptions(c.args, &error);
    ASSERT_EQ(options.has_value(), c.ok) << (c.args.empty() ? "" : c.args[0]) << " " << error;
    if (!options) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(options->emulate.value_or(std::vector<std::string>{}), c.emulate);
  }
}

TEST(Scenario, ParsesEveryActionAndKeepsFreeText) {
  const std::string text =
      "# a comment\n"
      "click ms_tab\n"
      "select ms_Deng_7color_check on\n"
      "item ms_report_fct_combo 3\n"
      "value ms_deng_light_slider 0x4\n"
      "text ms_device_profile_name_edit my # profile  \n"
      "key down 0x41 0x01\n"
      "\n"
      "dialog /tmp/a file.config\n"
      "dialog cancel\n"
      "answer confirm\n"
      "device mouse dpi\n"
      "screenshot shots/main page.png\n"
      "quit  # the end\n";
  std::string error;
  const auto script = ParseScenario(text, &error);
  ASSERT_TRUE(script) << error;
  ASSERT_EQ(script->steps.size(), 12u);
  const auto& s = script->steps;
  EXPECT_EQ(s[0].kind, StepKind::kClick);
  EXPECT_EQ(s[0].line, 2);
  EXPECT_TRUE(s[1].on);
  EXPECT_EQ(s[2].number, 3);
  EXPECT_EQ(s[3].number, 4);
  EXPECT_EQ(s[4].argument, "my # profile");
  EXPECT_TRUE(s[5].on);
  EXPECT_EQ(s[5].number, 0x41);
  EXPECT_EQ(s[5].flags, 1);
  EXPECT_EQ(s[6].name, "/tmp/a file.config");
  EXPECT_TRUE(s[6].on);
  EXPECT_FALSE(s[7].on);
  EXPECT_EQ(s[8].argument, "confirm");
  EXPECT_EQ(s[9].argument, "dpi");
  EXPECT_EQ(s[10].name, "shots/main page.png");
  EXPECT_EQ(s[11].kind, StepKind::kQuit);
}

TEST(Scenario, ALineThatCannotBeReadNamesItsLine) {
  const struct {
    const char* text;
    const char* reason;
  } cases[] = {
      {"click a\nfly away\n", "line 2: unknown action \"fly\""},
      {"select a maybe\n", "line 1: select takes a name and on or off"},
      {"item a x\n", "line 1: item takes a name and a number"},
      {"wait -5\n", "line 1: wait takes a number"},
      {"key left 65\n", "line 1: key takes down or up, a virtual-key code and optional flags"},
      {"quit now\n", "line 1: quit takes no argument"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseScenario(c.text, &error));
    EXPECT_EQ(error, c.reason);
  }
}

TEST(Language, RegistryDecidesAtStartAndAChoiceWritesBoth) {
  char templ[] = "/tmp/vz-lang-XXXXXX";
  const std::string dir = ::mkdtemp(templ);
  ::setenv("VZ_DOCUMENTS_DIR", (dir + "/docs").c_str(), 1);
  ::setenv("VZ_CONFIG_DIR", (dir + "/config").c_str(), 1);
  ini::WriteString(MainIniPath(), kSkinSection, "LANGUAGE", "0");
  AdoptRegistryLanguage();  // no registry value yet: main.ini keeps its language
  EXPECT_STREQ(StoredLanguage().menuItem, "lan_en");
  registry::WriteString(kRegistryKey, "LANGUAGE", "2020");
  AdoptRegistryLanguage();
  EXPECT_STREQ(StoredLanguage().menuItem, "lan_cn");
  StoreLanguage(*LanguageByMenuItem("lan_tw"));
  EXPECT_EQ(ini::ReadString(MainIniPath(), kSkinSection, "LANGUAGE", ""), "2");
  EXPECT_EQ(registry::ReadString(kRegistryKey, "LANGUAGE"), "3030");
  EXPECT_EQ(LanguageByMenuItem("lan_xx"), nullptr);
  ::unsetenv("VZ_DOCUMENTS_DIR");
  ::unsetenv("VZ_CONFIG_DIR");
}

}  // namespace
}  // namespace vz::app
