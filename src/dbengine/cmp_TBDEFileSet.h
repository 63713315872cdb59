// The file sets of the database engine group: which engine files make up each engine part
// and SQL Link, by the version of the engine installed on the building machine. The
// group's bd... and sl... options read and change its members through them.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "runtime/classinfo.h"

namespace kestrune {

class TInstallBDE;

// The engine parts and SQL Links a file set adds, tells and removes.
enum class BDEPart { Access, Ascii, DBase, ODBC, Paradox, SQLEngine, QBE, DB2, Informix, InterBase, MSSQL, Oracle,
                     SybaseCT, SybaseDB };

// Where a part's file is taken from when it is added.
enum class BDEFileSource { Engine, System, Kit, InterBaseRoot, EngineElseSystem };

// One file of a part. `keptWhile` names parts (bits of 1 << BDEPart) whose presence keeps
// the file when this part is removed; `orElse` is a second name that makes the part present
// as well (the one taken when the first is not at the source).
struct BDEPartFile {
  const char* name;
  BDEFileSource source = BDEFileSource::Engine;
  unsigned keptWhile = 0;
  const char* orElse = nullptr;
};

// The files of one part: Add adds them (after the core or the SQL Link help files), Has
// requires them all, Remove takes them out (then the core if unused, or the help files).
struct BDEPartFiles {
  bool sqlLink;
  std::vector<BDEPartFile> files;
};

class TBDEFileSet {
 public:
  // Raises Exception "Cannot create BDE file set without passing valid InstallBDE".
  explicit TBDEFileSet(TInstallBDE* installBDE);
  virtual ~TBDEFileSet() = default;
  TBDEFileSet(const TBDEFileSet&) = delete;
  TBDEFileSet& operator=(const TBDEFileSet&) = delete;

  virtual const char* ClassName() const { return "TBDEFileSet"; }

  virtual void AddLocaleLibraries();
  virtual void AddConfigFile();
  virtual void AddCore();
  virtual void AddSQLLinkHelp();
  // Adds the file as a member with a destination of that built-in specifier class, unless
  // a member of that name exists. Raises IEBDEFileDoesNotExist for a missing file.
  virtual void AddFile(const std::string& path, const ClassInfo& specifier);
  virtual void AddAll(bool ignoreErrors);
  virtual void AddResourceDLL();
  virtual void AddAccess();
  virtual void AddAscii();
  virtual void AddDBase();
  virtual void AddODBC();
  virtual void AddParadox();
  virtual void AddSQLEngine();
  virtual void AddQBE();
  virtual void AddDB2();
  virtual void AddInformix();
  virtual void AddInterBase();
  virtual void AddMSSQL();
  virtual void AddOracle();
  virtual void AddSybaseCT();
  virtual void AddSybaseDB();
  virtual bool HasCore() const;
  virtual bool HasFull() const;
  virtual bool HasAccess() const;
  virtual bool HasAscii() const;
  virtual bool HasDBase() const;
  virtual bool HasODBC() const;
  virtual bool HasParadox() const;
  virtual bool HasSQLEngine() const;
  virtual bool HasQBE() const;
  virtual bool HasDB2() const;
  virtual bool HasInformix() const;
  virtual bool HasInterBase() const;
  virtual bool HasMSSQL() const;
  virtual bool HasOracle() const;
  virtual bool HasSybaseCT() const;
  virtual bool HasSybaseDB() const;
  virtual void RemoveLocaleLibraries();
  virtual void RemoveCoreIfUnused();
  virtual void RemoveSQLLinkHelp();
  virtual void RemoveFile(const std::string& fileName);
  virtual void RemoveAll();
  virtual void RemoveAccess();
  virtual void RemoveAscii();
  virtual void RemoveDBase();
  virtual void RemoveODBC();
  virtual void RemoveParadox();
  virtual void RemoveSQLEngine();
  virtual void RemoveQBE();
  virtual void RemoveDB2();
  virtual void RemoveInformix();
  virtual void RemoveInterBase();
  virtual void RemoveMSSQL();
  virtual void RemoveOracle();
  virtual void RemoveSybaseCT();
  virtual void RemoveSybaseDB();

  // A member's FileName, trimmed, equals the name (ignoring case).
  bool Has(const std::string& fileName) const;
  bool HasAll(std::initializer_list<const char*> fileNames) const;
  // The part's operations, read from its table.
  void AddPart(BDEPart part);
  bool HasPart(BDEPart part) const;
  void RemovePart(BDEPart part);
  // The building machine's engine directory, checked to hold idapi32.dll. Raises
  // IEBDENoDLLEntry or IEBDEDLLMissing.
  static std::string SourceDirectory();

 protected:
  // The table of a part for this engine version.
  virtual const BDEPartFiles& partFiles(BDEPart part) const;
  // The administration program's files that go with the core (the 3.x or the 4.x set).
  virtual const std::vector<BDEPartFile>& adminFiles() const;
  // Adds each file of the source directory with the group's destination.
  void addFromSource(std::initializer_list<const char*> fileNames);
  void addFiles(const std::vector<BDEPartFile>& files);
  void removeFiles(std::initializer_list<const char*> fileNames);
  std::string resourceDLL() const;
  void removeCoreFiles();
  bool anyPartUsed(bool withAccess) const;
  TInstallBDE* bde_;
};

class TBDE30FileSet : public TBDEFileSet {
 public:
  using TBDEFileSet::TBDEFileSet;
  const char* ClassName() const override { return "TBDE30FileSet"; }

 protected:
  const std::vector<BDEPartFile>& adminFiles() const override;
};

class TBDE35FileSet : public TBDE30FileSet {
 public:
  using TBDE30FileSet::TBDE30FileSet;
  const char* ClassName() const override { return "TBDE35FileSet"; }
};

class TBDE40FileSet : public TBDEFileSet {
 public:
  using TBDEFileSet::TBDEFileSet;
  const char* ClassName() const override { return "TBDE40FileSet"; }

 protected:
  const BDEPartFiles& partFiles(BDEPart part) const override;
  const std::vector<BDEPartFile>& adminFiles() const override;
};

class TBDE45FileSet : public TBDE40FileSet {
 public:
  using TBDE40FileSet::TBDE40FileSet;
  const char* ClassName() const override { return "TBDE45FileSet"; }
  void AddAll(bool ignoreErrors) override;
  bool HasFull() const override;
  void RemoveCoreIfUnused() override;
};

class TBDE50FileSet : public TBDE45FileSet {
 public:
  using TBDE45FileSet::TBDE45FileSet;
  const char* ClassName() const override { return "TBDE50FileSet"; }
  void AddLocaleLibraries() override;
  void RemoveLocaleLibraries() override;
};

// The file set for the engine installed on this machine, by the FileVersion of its
// idapi32.dll ("3.0", "3.5", "4.0", "4.5", else 5.0); TBDE40FileSet when that cannot be
// read.
std::unique_ptr<TBDEFileSet> CreateBDEFileSet(TInstallBDE* installBDE);
// The version check alone: raises IEBDEVersionInvalid for a version shorter than 3.
std::unique_ptr<TBDEFileSet> CreateBDEFileSetForVersion(TInstallBDE* installBDE, const std::string& version);

}  // namespace kestrune
