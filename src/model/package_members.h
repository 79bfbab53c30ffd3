#pragma once
// The members of a package in the modern documents: the subprograms its specification
// declares, each with the comment blocks that name it.
//
// Members come from the declarations alone. A comment block only documents a member: one
// whose heading names no declared subprogram (a block without a keyword line, or one whose
// keyword stands in a sentence: "...called by the teardown procedures") is text of the
// package, never a member of its own. The declarations are plain signatures in the order
// the specification makes them, so whatever reads them (the dictionary's subprograms and
// arguments today) feeds the same placement.

#include <QList>
#include <QString>

#include "model/document_model.h"

struct Settings;

struct PlacedMembers {
  QList<MemberObject> members;     // one per declared name, at its first declaration
  QList<CommentBlock> textBlocks;  // blocks that name no declared member, heading line kept
};

// `declared`: every declared form in declaration order (overloads apart); `blocks`: the
// specification's member blocks in source order (ReadMemberBlocks). Members have no anchor
// yet.
PlacedMembers PlaceMembers(const QList<Signature>& declared, const QList<CommentBlock>& blocks,
                           const Settings& settings);

