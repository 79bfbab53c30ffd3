#include "settings/settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "support/test_env.h"

namespace {

using Parts = std::array<bool, kDocumentPartCount>;

class SettingsTest : public ::testing::Test {
 protected:
  QString IniPath() const { return dir_.filePath("Options.conf"); }
  QTemporaryDir dir_;
};

TEST_F(SettingsTest, FirstStartGivesDefaultsAndWritesNothing) {
  const QString data = testenv::Home() + "/data/VLM";
  EXPECT_EQ(ProgramDirectory(), data);
  const Settings s = LoadSettings();
  EXPECT_EQ(s.History_file, data + "/Velmar.prh");
  EXPECT_EQ(s.Project_dir, data + "/");
  EXPECT_EQ(s.DBLog_history, data + "/Velmar.dbh");
  EXPECT_EQ(s.Document_parts, (Parts{true, true, true, true, true, true, true, true}));
  EXPECT_EQ(s, DefaultSettings());
  EXPECT_FALSE(QFile::exists(testenv::Home() + "/config/VLM/Options.conf"));
}

TEST_F(SettingsTest, UserStoreIsTheIniFileUnderTheConfigDirectory) {
  Settings s = DefaultSettings();
  s.Function_opentag = "<F>";
  QString error;
  ASSERT_TRUE(SaveSettings(s, &error)) << error.toStdString();
  EXPECT_TRUE(QFile::exists(testenv::Home() + "/config/VLM/Options.conf"));
  EXPECT_EQ(LoadSettings().Function_opentag, "<F>");
  QFile::remove(testenv::Home() + "/config/VLM/Options.conf");
}

TEST_F(SettingsTest, AwkwardTextsComeBackExactly) {
  const QStringList awkward = {",", ";", ":", "\"", "\\", "a,b", " lead", "trail ", "@x",
                               "=", "#x", "[x]", QString::fromUtf8("Größe € Ω"), "a\"b,c\\"};
  Settings s = DefaultSettings();
  QString Settings::*fields[] = {
      &Settings::History_file, &Settings::Project_dir, &Settings::DBLog_history,
      &Settings::Template_dir, &Settings::Function_opentag, &Settings::Function_description,
      &Settings::Function_parameters, &Settings::Function_spot, &Settings::Function_colon,
      &Settings::Function_semicolon, &Settings::Function_returnvalue,
      &Settings::Function_closetag, &Settings::Package_opentag, &Settings::Package_description,
      &Settings::Package_closetag, &Settings::Package_function_opentag,
      &Settings::Package_function, &Settings::Package_procedure,
      &Settings::Package_function_description, &Settings::Package_function_parameters,
      &Settings::Package_function_spot, &Settings::Package_function_colon,
      &Settings::Package_function_semicolon, &Settings::Package_function_returnvalue,
      &Settings::Package_function_closetag};
  for (size_t i = 0; i < std::size(fields); ++i) s.*fields[i] = awkward[i % awkward.size()];
  s.SetPart(DocumentPart::Views, false);
  s.Diagrams = DiagramChoice::Tables;
  {
    QSettings store(IniPath(), QSettings::IniFormat);
    QString error;
    ASSERT_TRUE(SaveSettings(s, store, &error)) << error.toStdString();
  }
  QSettings store(IniPath(), QSettings::IniFormat);
  EXPECT_EQ(store.allKeys().size(), 27);
  EXPECT_EQ(store.value("Document_parts").toString(), "TTTFTTTT");
  EXPECT_EQ(store.value("Diagrams").toString(), "tables");
  EXPECT_EQ(LoadSettings(store), s);
}

TEST_F(SettingsTest, EmptyAndWrongTypedValuesLoadTheirDefaults) {
  testenv::WriteBytes(IniPath(),
                      "[General]\nFunction_spot=\nFunction_colon=a,b\nFunction_semicolon=,\n"
                      "Function_opentag=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"
                      "Package_closetag=@ByteArray(x)\nPackage_function=Func\n");
  QSettings store(IniPath(), QSettings::IniFormat);
  QStringList notText;
  const Settings s = LoadSettings(store, &notText);
  EXPECT_EQ(notText, (QStringList{"Function_opentag", "Function_colon", "Function_semicolon",
                                  "Package_closetag"}));
  EXPECT_EQ(s.Function_spot, ",");
  EXPECT_EQ(s.Function_colon, ":");
  EXPECT_EQ(s.Function_semicolon, ";");
  EXPECT_EQ(s.Function_opentag, "<FD>");
  EXPECT_EQ(s.Package_closetag, "</PD>");
  EXPECT_EQ(s.Package_function, "Func");
}

TEST(DocumentParts, StoredTextRules) {
  EXPECT_EQ(DecodeDocumentParts("TFTFTFTFTTT"), (Parts{1, 0, 1, 0, 1, 0, 1, 0}));
  EXPECT_EQ(EncodeDocumentParts(DecodeDocumentParts("TFTFTFTFTTT")), "TFTFTFTF");
  EXPECT_EQ(DecodeDocumentParts("tttttttt"), Parts{});
  EXPECT_EQ(DecodeDocumentParts(""), (Parts{1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(DecodeDocumentParts("TTF"), (Parts{1, 1, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(EncodeDocumentParts(Parts{}), "FFFFFFFF");
}

TEST_F(SettingsTest, UnwritableStoreIsReported) {
  testenv::WriteBytes(dir_.filePath("file"), "x");
  const QString blocked = dir_.filePath("file/Options.conf");  // parent is a file
  QSettings store(blocked, QSettings::IniFormat);
  QString error;
  EXPECT_FALSE(SaveSettings(DefaultSettings(), store, &error));
  EXPECT_TRUE(error.startsWith("ERROR: ")) << error.toStdString();
  EXPECT_TRUE(error.contains(blocked)) << error.toStdString();
}

}  // namespace
