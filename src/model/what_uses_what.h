#pragma once
// What a schema's dictionary says beyond its objects' own definitions: which of them do not
// compile. Each schema (database and owner) is read once per build, at its first object,
// while the build is logged on to it, and answered from memory after that, so the cost is
// one query per schema however many objects the document holds.
//
// A dictionary without the tables these reads use (a snapshot made before them) answers
// "nothing": every object valid.

#include <QHash>
#include <QSet>
#include <QString>
#include <initializer_list>

#include "model/document_model.h"

class Database;

class WhatUsesWhat {
 public:
  // Whether the dictionary marks the object `key` names INVALID under one of `types`
  // ("VIEW", "PACKAGE BODY", ...). The database must be logged on to key's schema.
  bool Invalid(Database& db, const ObjectKey& key, std::initializer_list<const char*> types);

 private:
  struct Schema {
    QSet<QString> invalid;  // "TYPE\nNAME"
  };
  Schema& Of(Database& db, const ObjectKey& key);

  QHash<QString, Schema> schemas_;  // by DATABASE\nOWNER
};
