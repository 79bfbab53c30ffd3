// File > Capture dictionary: the dialog runs the capture and stays open after a failure.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "builder/progress_dialog.h"
#include "capture/capture_dialog.h"
#include "capture/hr_dictionary.h"
#include "db/database.h"
#include "oci_stub.h"
#include "support/scripted_prompts.h"

namespace {

TEST(CaptureDialog, AFailedCaptureIsShownOnceAndMendedInPlace) {
  qputenv("VELLUMAR_OCI_LIBRARY", OCI_STUB_PATH);
  stub_reset();
  stub_set_logon("HR", "hr-pass", "ORCL");
  capturetest::ScriptHr();
  QTemporaryDir dir;
  ScriptedPrompts prompts;
  CaptureDialog dialog(prompts, dir.filePath("snapshots"), "ORCL", "HR");
  dialog.show();
  const auto edit = [&](const char* name) { return dialog.findChild<QLineEdit*>(name); };
  // The snapshot is proposed where a log-on to the database finds it.
  const QString out = dir.filePath("snapshots/orcl.sqlite");
  EXPECT_EQ(edit("FEdFile")->text(), out);
  auto* ok = dialog.findChild<QPushButton*>("FBtnOk");

  edit("FEdPassword")->setText("wrong");
  ok->click();
  EXPECT_EQ(prompts.Errors(),
            QStringList({"ERROR: ORA-01017: invalid username/password; logon denied"}));
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(QFile::exists(out));
  // The error box said it: no "Capture failed." window stays behind for each try.
  for (const ProgressDialog* progress : dialog.findChildren<ProgressDialog*>())
    EXPECT_FALSE(progress->isVisible());

  edit("FEdPassword")->setText("hr-pass");
  dialog.findChild<QCheckBox*>("FCBSnapshotPassword")->setChecked(true);
  edit("FEdSnapshotPassword")->setText("snap");
  ok->click();
  EXPECT_EQ(prompts.Errors().size(), 1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);

  Database db;
  db.SetSnapshotDirectories({dir.filePath("snapshots")});
  db.SetErrorHandler([](const QString&) {});
  EXPECT_THROW(ConnectDatabase(db, "orcl", "HR", "hr-pass"), DatabaseError);
  ConnectDatabase(db, "orcl", "HR", "snap");
  EXPECT_EQ(FirstRowField(db, QueryId::OCIComments, "DEPARTMENTS", "comments"),
            "Departments; one row each.");
  qunsetenv("VELLUMAR_OCI_LIBRARY");
}

}  // namespace
