#pragma once
// The shared made dictionary as databases ORCL and TEST, a connection to them that records
// what its error handler shows, a project and the default settings.

#include <gtest/gtest.h>

#include <functional>

#include "pages/initial_description.h"
#include "project/project.h"
#include "settings/settings.h"
#include "support/db_fixture.h"
#include "support/shop_dictionary.h"
#include "support/snapshot_maker.h"

namespace fixture {

class DictionaryTest : public ::testing::Test, public testdb::DbFixtureBase {
 protected:
  void SetUp() override {
    for (const QString name : {"ORCL", "TEST"})
      testdb::MakeSnapshot(SnapshotPath(name + ".sqlite"), testdb::ShopDictionarySql());
  }
  void Connect(const QString& server, const QString& user = "SCOTT",
               const QString& password = "tiger") {
    ConnectDatabase(db, server, user, password);
  }
  // What a page of `kind` takes as the first description of an added object.
  std::function<QString(const QString&)> Describer(ObjectKind kind) {
    return [this, kind](const QString& name) {
      return InitialDescription(db, settings, kind, name);
    };
  }

  Project project;
  Settings settings = DefaultSettings();
};

}  // namespace fixture
