#pragma once
// The Settings record: the user's options, persisted as 30 text values (the 25 of the
// classic program, Template_dir, Changes_since, Diagrams, Documentation_comments and
// Call_timeout).
//
// Field names are the stored value names. The store is QSettings with organisation "VLM"
// and application "Options": the registry key on Windows, the INI file
// $XDG_CONFIG_HOME/VLM/Options.conf on Linux. One live record is owned by the program;
// the Options dialog edits it in place, every reader reads it when it needs a value, and
// only SaveSettings writes the store.

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

class QSettings;

enum class DocumentPart {
  Content, Project, Tables, Views, ProceduresAndFunctions, Packages, Sequences, Roles
};
inline constexpr int kDocumentPartCount = 8;

// The relationship diagrams of the modern documents: none, each table's neighbourhood, or
// those and an overview of each owner's tables.
enum class DiagramChoice { None, Tables, All };

struct Settings {
  // Paths.
  QString History_file;
  QString Project_dir;
  QString DBLog_history;
  // The user's templates for the modern formats; empty: the built-in ones.
  QString Template_dir;
  // An older dictionary snapshot that the modern documents list the changes since; empty:
  // none.
  QString Changes_since;
  // Document parts, in DocumentPart order; stored as eight "T"/"F" characters.
  std::array<bool, kDocumentPartCount> Document_parts{true, true, true, true,
                                                      true, true, true, true};
  // Stored as "none", "tables" or "all"; any other text is the default, all.
  DiagramChoice Diagrams = DiagramChoice::All;
  // The modern formats and the coverage report read the documentation comments of PL/SQL
  // source (Javadoc blocks, comments around declarations) beside the tags. Stored as "T"
  // or "F"; any other text is the default, on.
  bool Documentation_comments = true;
  // How long one call to an Oracle server may wait for its answer, in seconds; 0: no limit.
  // Stored as a whole number up to kMaxCallTimeout; any other text is the default.
  int Call_timeout = 60;
  // Tags of stand-alone procedures and functions.
  QString Function_opentag;
  QString Function_description;
  QString Function_parameters;
  QString Function_spot;
  QString Function_colon;
  QString Function_semicolon;
  QString Function_returnvalue;
  QString Function_closetag;
  // Tags of packages and their members.
  QString Package_opentag;
  QString Package_description;
  QString Package_closetag;
  QString Package_function_opentag;
  QString Package_function;
  QString Package_procedure;
  QString Package_function_description;
  QString Package_function_parameters;
  QString Package_function_spot;
  QString Package_function_colon;
  QString Package_function_semicolon;
  QString Package_function_returnvalue;
  QString Package_function_closetag;

  bool Part(DocumentPart part) const { return Document_parts[static_cast<int>(part)]; }
  void SetPart(DocumentPart part, bool on) { Document_parts[static_cast<int>(part)] = on; }

  friend bool operator==(const Settings&, const Settings&) = default;
};

inline constexpr int kMaxCallTimeout = 86400;

// Where the defaults put the history files and projects: the per-user data directory
// $XDG_DATA_HOME/VLM (the program's directory on Windows), without a trailing separator.
QString ProgramDirectory();

// Every value at its default.
Settings DefaultSettings();

// The user's store, or the INI file `iniPath` when it is not empty (vellumar-build --settings).
std::unique_ptr<QSettings> OpenSettingsStore(const QString& iniPath = {});

// Reads all 30 values; a missing, empty or non-text value gives its default. The names of
// the non-text values, in load order, go to *notText when it is given.
Settings LoadSettings(QSettings& store, QStringList* notText = nullptr);
Settings LoadSettings();

// The 30 stored value names, in load and save order.
QStringList SettingsValueNames();

// Writes all 30 values as text. False with the store's reason in *error.
bool SaveSettings(const Settings& settings, QSettings& store, QString* error);
bool SaveSettings(const Settings& settings, QString* error);

// The stored form of Document_parts and its reading: at most 8 characters, "T" (upper case
// only) is on, anything else off, positions beyond a shorter text off, empty text all on.
QString EncodeDocumentParts(const std::array<bool, kDocumentPartCount>& parts);
std::array<bool, kDocumentPartCount> DecodeDocumentParts(const QString& stored);

// The stored and command-line words of a DiagramChoice, and their reading (nullopt for a
// word that is none of them).
QString DiagramChoiceName(DiagramChoice choice);
std::optional<DiagramChoice> ParseDiagramChoice(const QString& word);
