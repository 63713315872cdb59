// The uninstaller's removal walk under Wine, against the prefix's registry and files:
// what the runs recorded as written goes and what was there before stays; lines no run
// of the kit writes are refused; a shared server leaves the system's registration only
// with its last product; a reinstall takes back the delayed deletes of the last
// uninstall; the uninstaller's command line with and without quotes.
#include <gtest/gtest.h>

#include <chrono>

#include "objects/routines_Uninstall.h"
#include "objects/uninstall_entry.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "routines/routines_Registry.h"
#include "routines/routines_System.h"
#include "runtime/classinfo.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune::test {

namespace {

const std::string kRoot = "C:\\kst-uninstall";
const std::string kSharedDLLs = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const std::string kServers = "\\Software\\KestruneTest";

void writeFile(const std::string& path, const std::string& text) { platform::writeWholeFile(path, text.data(), text.size()); }
std::string key(const std::string& product) { return kUninstallRoot + product; }
// A program or library built beside the test.
std::string built(const std::string& name) { return ExtractFileDir(platform::moduleFileName()) + "\\" + name; }
std::string serverState(const std::string& name) { return ReadRegistryString(rkLocalMachine, kServers, name, ""); }
void copyBuilt(const std::string& name, const std::string& to) {
  std::vector<uint8_t> bytes = platform::readWholeFile(built(name));
  platform::writeWholeFile(to, bytes.data(), bytes.size());
}
bool contains(const std::vector<std::string>& lines, const std::string& start) {
  for (const std::string& line : lines)
    if (line.starts_with(start)) return true;
  return false;
}

}  // namespace

TEST(Uninstall, RemovesWhatTheRunsWroteAndRefusesWhatNoProductOwns) {
  const std::string dir = kRoot + "\\Written", product = "Kst Written";
  DeleteUninstallEntry(product);
  platform::forceDirectories(dir + "\\Sub");
  for (const char* name : {"\\written.txt", "\\kept.txt"}) writeFile(dir + name, name);
  writeFile(kRoot + "\\victim.txt", "the user's own");
  copyBuilt("comexe.exe", dir + "\\server.exe");
  const std::string u = key(product);
  AppendUninstallFileLine(u, dir + "\\written.txt", true);
  AppendUninstallFileLine(u, dir + "\\kept.txt", false);  // there before, kept by the run
  AppendUninstallActiveXLine(u, dir + "\\server.exe", true, false);
  // Lines no run writes, as planted in the registry.
  const std::string system = GetSystemDir() + "\\kernel32.dll";
  const std::vector<std::string> planted{system, dir + "\\..\\victim.txt", "\\\\?\\" + kRoot + "\\victim.txt",
                                         dir + "\\Sub", kRoot + "/victim.txt", dir + "\\CON"};
  for (const std::string& line : planted) AppendUninstallFileLine(u, line, false);

  UninstallReport report = RemoveProduct(product, "");
  EXPECT_FALSE(platform::fileExists(dir + "\\written.txt"));
  EXPECT_TRUE(platform::fileExists(dir + "\\kept.txt"));
  EXPECT_EQ(report.keptAsFound, (std::vector<std::string>{dir + "\\server.exe", dir + "\\kept.txt"}));
  EXPECT_NE(serverState("server.exe"), "unregistered");  // not the product's: never run
  EXPECT_TRUE(platform::fileExists(system));
  EXPECT_TRUE(platform::fileExists(kRoot + "\\victim.txt"));
  EXPECT_TRUE(platform::directoryExists(dir + "\\Sub"));
  ASSERT_EQ(report.refused.size(), planted.size());
  for (size_t i = 0; i < planted.size(); ++i) EXPECT_TRUE(report.refused[i].starts_with(planted[i] + " (")) << report.refused[i];
  EXPECT_TRUE(report.notRemoved.empty());
  EXPECT_FALSE(ReadUninstallEntry(product));
}

TEST(Uninstall, EntriesOfOlderKitsRunNoServerAndAbsurdCountsAreRefused) {
  const std::string dir = kRoot + "\\Old", product = "Kst Old";
  DeleteUninstallEntry(product);
  platform::forceDirectories(dir);
  writeFile(dir + "\\old.txt", "old");
  copyBuilt("comexe.exe", dir + "\\oldserver.exe");
  // The layout of an entry written before the record of written files.
  const std::string u = key(product);
  WriteRegistryString(rkLocalMachine, u + "\\Files", "Entries", "2");
  WriteRegistryString(rkLocalMachine, u + "\\Files", "File1", dir + "\\old.txt");
  WriteRegistryString(rkLocalMachine, u + "\\Files", "File2", GetSystemDir() + "\\kernel32.dll");
  WriteRegistryString(rkLocalMachine, u + "\\ActiveX", "Entries", "1");
  WriteRegistryString(rkLocalMachine, u + "\\ActiveX", "File1", dir + "\\oldserver.exe;1");
  UninstallReport report = RemoveProduct(product, "");
  EXPECT_FALSE(platform::fileExists(dir + "\\old.txt"));
  EXPECT_TRUE(platform::fileExists(GetSystemDir() + "\\kernel32.dll"));
  EXPECT_NE(serverState("oldserver.exe"), "unregistered");
  EXPECT_EQ(report.refused.size(), 2u);
  EXPECT_TRUE(contains(report.refused, dir + "\\oldserver.exe ("));

  // A count no product reaches is refused at once, and the entry stays.
  WriteRegistryString(rkLocalMachine, u + "\\Files", "Entries", "999999999");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(RemoveProduct(product, ""), IEUninstallEXE);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(platform::keyExists(platform::RegRoot::LocalMachine, u));
  EXPECT_TRUE(DeleteUninstallEntry(product));
}

TEST(Uninstall, ASharedServerLeavesTheRegistrationWithItsLastProduct) {
  const std::string dir = kRoot + "\\Shared", server = dir + "\\sharedserver.dll";
  platform::forceDirectories(dir);
  copyBuilt("comserver.dll", server);
  WriteRegistryString(rkLocalMachine, kServers, "sharedserver.dll", "registered");
  platform::RegKey::create(platform::RegRoot::LocalMachine, kSharedDLLs).writeDword(server, 2);
  // The first product wrote it; the second found it counted and kept it.
  for (const char* product : {"Kst First", "Kst Second"}) {
    DeleteUninstallEntry(product);
    AppendUninstallActiveXLine(key(product), server, false, true);
  }
  UninstallReport report = RemoveProduct("Kst First", "");
  EXPECT_EQ(report.sharedKept, std::vector<std::string>{server});
  EXPECT_TRUE(report.notRemoved.empty());
  EXPECT_EQ(serverState("sharedserver.dll"), "registered");
  EXPECT_TRUE(platform::fileExists(server));
  report = RemoveProduct("Kst Second", "");
  EXPECT_TRUE(report.notRemoved.empty());
  EXPECT_EQ(serverState("sharedserver.dll"), "unregistered");
  EXPECT_FALSE(platform::fileExists(server));
  EXPECT_FALSE(platform::RegKey::open(platform::RegRoot::LocalMachine, kSharedDLLs)->tryReadDword(server));
}

TEST(Uninstall, AWrittenFileTakesBackTheDelayedDeletesOfItsPathAndFolders) {
  const std::string dir = kRoot + "\\Again";
  platform::forceDirectories(dir);
  for (const char* name : {"\\uninstall.exe", "\\other.txt"}) writeFile(dir + name, "x");
  platform::moveFileAfterReboot(dir + "\\uninstall.exe", "");
  platform::moveFileAfterReboot(dir + "\\other.txt", "");
  platform::moveFileAfterReboot(dir, "");
  DeleteUninstallEntry("Kst Again");
  RecordWrittenPath(key("Kst Again"), dir + "\\uninstall.exe");
  auto pending = platform::RegKey::open(platform::RegRoot::LocalMachine,
                                        "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager")
                     ->tryReadMultiString("PendingFileRenameOperations")
                     .value_or(std::vector<std::string>{});
  std::vector<std::string> ours;
  for (size_t i = 0; i + 1 < pending.size(); i += 2)
    if (UpperCase(pending[i]).find(UpperCase(dir)) != std::string::npos) ours.push_back(pending[i]);
  ASSERT_EQ(ours.size(), 1u);
  EXPECT_TRUE(ours[0].ends_with("\\other.txt"));
  CancelDelayedDeletes(dir + "\\other.txt");
  DeleteUninstallEntry("Kst Again");
}

TEST(Uninstall, TheCommandLineNamesTheProductAfterTheProgramQuotedOrNot) {
  const std::string self = "C:\\Program Files\\Some Product\\uninstall.exe";
  auto namesSelf = [&](const std::string& word) {
    std::string w = word.size() >= 2 && word.front() == '"' ? word.substr(1, word.size() - 2) : word;
    return SameText(w, self) || SameText(w, "C:\\PROGRA~1\\SOMEPR~1\\uninstall.exe");
  };
  struct Case {
    std::string line;
    bool quiet;
    std::string product;
  };
  for (const Case& c : std::vector<Case>{
           {"\"C:\\Program Files\\Some Product\\uninstall.exe\" Some  Product", false, "Some  Product"},
           {"C:\\Program Files\\Some Product\\uninstall.exe Some Product", false, "Some Product"},
           {"C:\\PROGRA~1\\SOMEPR~1\\uninstall.exe /Q Some Product", true, "Some Product"},
           {"\"C:\\Program Files\\Some Product\\uninstall.exe\" /q \" Some Product \" ", true, "Some Product"},
           {"  \"C:\\Program Files\\Some Product\\uninstall.exe\"", false, ""},
           {"uninstall /Quick Fix", false, "/Quick Fix"},
       }) {
    UninstallCommand command = ParseUninstallCommandLine(c.line, namesSelf);
    EXPECT_EQ(command.quiet, c.quiet) << c.line;
    EXPECT_EQ(command.product, c.product) << c.line;
  }
}

}  // namespace kestrune::test
