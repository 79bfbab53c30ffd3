#include "settings/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

namespace {

// The 30 stored values in load and save order (paths, the template directory, the older
// snapshot of the changes, document parts, diagrams, documentation comments, call timeout,
// function tags, package tags). Document_parts, Diagrams, Documentation_comments and
// Call_timeout are not text fields and are handled apart, after the paths.
struct TextValue {
  const char* name;
  QString Settings::*field;
};

constexpr TextValue kPathValues[] = {
    {"History_file", &Settings::History_file},
    {"Project_dir", &Settings::Project_dir},
    {"DBLog_history", &Settings::DBLog_history},
    {"Template_dir", &Settings::Template_dir},
    {"Changes_since", &Settings::Changes_since},
};

constexpr TextValue kTagValues[] = {
    {"Function_opentag", &Settings::Function_opentag},
    {"Function_description", &Settings::Function_description},
    {"Function_parameters", &Settings::Function_parameters},
    {"Function_spot", &Settings::Function_spot},
    {"Function_colon", &Settings::Function_colon},
    {"Function_semicolon", &Settings::Function_semicolon},
    {"Function_returnvalue", &Settings::Function_returnvalue},
    {"Function_closetag", &Settings::Function_closetag},
    {"Package_opentag", &Settings::Package_opentag},
    {"Package_description", &Settings::Package_description},
    {"Package_closetag", &Settings::Package_closetag},
    {"Package_function_opentag", &Settings::Package_function_opentag},
    {"Package_function", &Settings::Package_function},
    {"Package_procedure", &Settings::Package_procedure},
    {"Package_function_description", &Settings::Package_function_description},
    {"Package_function_parameters", &Settings::Package_function_parameters},
    {"Package_function_spot", &Settings::Package_function_spot},
    {"Package_function_colon", &Settings::Package_function_colon},
    {"Package_function_semicolon", &Settings::Package_function_semicolon},
    {"Package_function_returnvalue", &Settings::Package_function_returnvalue},
    {"Package_function_closetag", &Settings::Package_function_closetag},
};

constexpr const char* kDocumentParts = "Document_parts";
constexpr const char* kDiagrams = "Diagrams";
constexpr const char* kDocumentationComments = "Documentation_comments";
constexpr const char* kCallTimeout = "Call_timeout";
constexpr std::pair<DiagramChoice, const char*> kDiagramNames[] = {
    {DiagramChoice::None, "none"}, {DiagramChoice::Tables, "tables"}, {DiagramChoice::All, "all"}};

// A stored value as text; anything that is not text (a list, a number or bytes written
// into the store by hand) reads as empty, which then means "use the default", and its
// name goes to *notText.
QString ReadText(QSettings& store, const char* name, QStringList* notText) {
  const QVariant value = store.value(QLatin1String(name));
  if (value.typeId() == QMetaType::QString) return value.toString();
  if (notText && value.isValid()) notText->append(QLatin1String(name));
  return {};
}

QString StatusText(QSettings::Status status) {
  switch (status) {
    case QSettings::AccessError: return QStringLiteral("it can't be written");
    case QSettings::FormatError: return QStringLiteral("its format is damaged");
    case QSettings::NoError: break;
  }
  return {};
}

}  // namespace

QString ProgramDirectory() {
#ifdef Q_OS_WIN
  return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
#else
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/VLM");
#endif
}

Settings DefaultSettings() {
  const QString dir = ProgramDirectory() + QDir::separator();
  Settings s;
  s.History_file = dir + QStringLiteral("Velmar.prh");
  s.Project_dir = dir;
  s.DBLog_history = dir + QStringLiteral("Velmar.dbh");
  s.Document_parts.fill(true);
  s.Function_opentag = QStringLiteral("<FD>");
  s.Function_description = QStringLiteral("Description");
  s.Function_parameters = QStringLiteral("Parameters");
  s.Function_spot = QStringLiteral(",");
  s.Function_colon = QStringLiteral(":");
  s.Function_semicolon = QStringLiteral(";");
  s.Function_returnvalue = QStringLiteral("Return value");
  s.Function_closetag = QStringLiteral("</FD>");
  s.Package_opentag = QStringLiteral("<PD>");
  s.Package_description = QStringLiteral("Description");
  s.Package_closetag = QStringLiteral("</PD>");
  s.Package_function_opentag = QStringLiteral("<FD>");
  s.Package_function = QStringLiteral("Function");
  s.Package_procedure = QStringLiteral("Procedure");
  s.Package_function_description = QStringLiteral("Description");
  s.Package_function_parameters = QStringLiteral("Parameters");
  s.Package_function_spot = QStringLiteral(",");
  s.Package_function_colon = QStringLiteral(":");
  s.Package_function_semicolon = QStringLiteral(";");
  s.Package_function_returnvalue = QStringLiteral("Return value");
  s.Package_function_closetag = QStringLiteral("</FD>");
  return s;
}

std::unique_ptr<QSettings> OpenSettingsStore(const QString& iniPath) {
  if (!iniPath.isEmpty()) return std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                     QStringLiteral("VLM"), QStringLiteral("Options"));
}

Settings LoadSettings(QSettings& store, QStringList* notText) {
  const Settings defaults = DefaultSettings();
  Settings s;
  auto load = [&](const TextValue& v) {
    const QString text = ReadText(store, v.name, notText);
    s.*v.field = text.isEmpty() ? defaults.*v.field : text;
  };
  for (const TextValue& v : kPathValues) load(v);
  s.Document_parts = DecodeDocumentParts(ReadText(store, kDocumentParts, notText));
  s.Diagrams = ParseDiagramChoice(ReadText(store, kDiagrams, notText)).value_or(defaults.Diagrams);
  s.Documentation_comments = ReadText(store, kDocumentationComments, notText) != u'F';
  bool number = false;
  const int seconds = ReadText(store, kCallTimeout, notText).toInt(&number);
  s.Call_timeout = number && seconds >= 0 && seconds <= kMaxCallTimeout ? seconds
                                                                         : defaults.Call_timeout;
  for (const TextValue& v : kTagValues) load(v);
  return s;
}

Settings LoadSettings() { return LoadSettings(*OpenSettingsStore()); }

QStringList SettingsValueNames() {
  QStringList names;
  for (const TextValue& v : kPathValues) names.append(QLatin1String(v.name));
  names.append(QLatin1String(kDocumentParts));
  names.append(QLatin1String(kDiagrams));
  names.append(QLatin1String(kDocumentationComments));
  names.append(QLatin1String(kCallTimeout));
  for (const TextValue& v : kTagValues) names.append(QLatin1String(v.name));
  return names;
}

bool SaveSettings(const Settings& settings, QSettings& store, QString* error) {
  for (const TextValue& v : kPathValues) store.setValue(QLatin1String(v.name), settings.*v.field);
  store.setValue(QLatin1String(kDocumentParts), EncodeDocumentParts(settings.Document_parts));
  store.setValue(QLatin1String(kDiagrams), DiagramChoiceName(settings.Diagrams));
  store.setValue(QLatin1String(kDocumentationComments),
                 settings.Documentation_comments ? QStringLiteral("T") : QStringLiteral("F"));
  store.setValue(QLatin1String(kCallTimeout), QString::number(settings.Call_timeout));
  for (const TextValue& v : kTagValues) store.setValue(QLatin1String(v.name), settings.*v.field);
  store.sync();
  if (store.status() == QSettings::NoError) return true;
  if (error)
    *error = QStringLiteral("ERROR: Settings file %1 can't be saved: %2.")
                 .arg(store.fileName(), StatusText(store.status()));
  return false;
}

bool SaveSettings(const Settings& settings, QString* error) {
  return SaveSettings(settings, *OpenSettingsStore(), error);
}

QString EncodeDocumentParts(const std::array<bool, kDocumentPartCount>& parts) {
  QString out;
  for (bool on : parts) out.append(on ? u'T' : u'F');
  return out;
}

std::array<bool, kDocumentPartCount> DecodeDocumentParts(const QString& stored) {
  std::array<bool, kDocumentPartCount> parts{};
  if (stored.isEmpty()) {
    parts.fill(true);
    return parts;
  }
  for (int i = 0; i < kDocumentPartCount; ++i) parts[i] = i < stored.size() && stored[i] == u'T';
  return parts;
}

QString DiagramChoiceName(DiagramChoice choice) {
  for (const auto& [c, name] : kDiagramNames)
    if (c == choice) return QLatin1String(name);
  return {};
}

std::optional<DiagramChoice> ParseDiagramChoice(const QString& word) {
  for (const auto& [c, name] : kDiagramNames)
    if (word == QLatin1String(name)) return c;
  return std::nullopt;
}
