#pragma once
// A trigger as the dictionary describes it, in the words a reader of its DDL knows: its
// timing, its events (the columns of UPDATE OF, which the dictionary keeps only in the
// header as written), row or statement, and its block as lines.

#include <QString>
#include <QStringList>

#include "model/document_model.h"

// From the dictionary's TRIGGER_TYPE ("BEFORE EACH ROW", "AFTER STATEMENT", "INSTEAD OF",
// "COMPOUND"), TRIGGERING_EVENT ("INSERT OR UPDATE OR DELETE") and DESCRIPTION (the header
// from the name on): timing, event and eachRow.
ModelTrigger TriggerOf(const QString& type, const QString& event, const QString& description);

// The block as lines without their line ends, trailing blank lines left out.
QStringList TriggerLines(const QString& body);

// The trigger's source as the PL/SQL reader reads it: TRIGGER, the header, the block.
QString TriggerSource(const ModelTrigger& trigger);
