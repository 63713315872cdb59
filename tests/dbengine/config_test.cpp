// The configuration format of IDAPINST.DLL: round trip, key-by-key merge, refused input.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "dbengine/idapi_config.h"

namespace kestrune::idapi {
namespace {

TEST(IdapiConfig, ParsesWritesAndMergesKeyByKey) {
  Config base = Config::parse(
      "; engine settings\r\n[SYSTEM\\INIT]\r\n  LOCAL SHARE = FALSE \r\nVERSION=4.0\n\n[Drivers\\Paradox\\INIT]\nNET DIR=\n");
  EXPECT_EQ(Config::parse(base.text()).text(), base.text());
  EXPECT_EQ(*base.find("system\\init", "local share"), "FALSE");

  Config user = Config::parse("[SYSTEM\\INIT]\nLOCAL SHARE=TRUE\n[DRIVERS\\PARADOX\\INIT]\nNET DIR=F:\\NET\n[ALIASES\\SHOP]\nPATH=C:\\DATA\n");
  Config kept = base;
  kept.merge(user, true);
  EXPECT_EQ(kept.text(),
            "[SYSTEM\\INIT]\r\nLOCAL SHARE=TRUE\r\nVERSION=4.0\r\n\r\n[Drivers\\Paradox\\INIT]\r\nNET DIR=F:\\NET\r\n\r\n"
            "[ALIASES\\SHOP]\r\nPATH=C:\\DATA\r\n\r\n");
  Config fresh = base;
  fresh.merge(user, false);
  EXPECT_EQ(*fresh.find("SYSTEM\\INIT", "LOCAL SHARE"), "FALSE");
  EXPECT_EQ(*fresh.find("ALIASES\\SHOP", "PATH"), "C:\\DATA");

  // The configuration the kit ships beside IDAPINST.DLL is one the library reads.
  std::ifstream shipped(KESTRUNE_SOURCE_DIR "/programs/idapinst/IDAPI32.CNF", std::ios::binary);
  std::stringstream text;
  text << shipped.rdbuf();
  EXPECT_EQ(*Config::parse(text.str()).find("DRIVERS\\PARADOX\\INIT", "TYPE"), "FILE");
}

TEST(IdapiConfig, RefusesMalformedInputWithItsLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"NAME=1\n", "line 1: a setting before the first section"},
      {"[A]\nno equals sign\n", "line 2: expected NAME=VALUE or [SECTION]"},
      {"[A]\n=value\n", "line 2: empty setting name"},
      {"[A\\\\B]\n", "line 1: invalid section name"},
      {"[]\n", "line 1: invalid section name"},
      {"[A\n", "line 1: a section line must end with ]"},
      {"[A]\nX=\x01\n", "line 2: control character"},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    try {
      Config::parse(text);
      ADD_FAILURE() << "accepted";
    } catch (const ConfigError& e) {
      EXPECT_STREQ(e.what(), message);
    }
  }
  EXPECT_THROW(Config::parse("[A]\nX=" + std::string(5000, 'x')), ConfigError);
}

}  // namespace
}  // namespace kestrune::idapi
