#pragma once

#include "EmulatedObject.h"
#include "WordSession.h"

struct WordCellEntry;

// Word's object model as the Word layer calls it, one table of members per
// kind of object (see ObjectKind), over a WordSession and its documents'
// states. Grouped by area: the application and its documents; variables;
// fields; tables down to a cell's range.
namespace WordKinds {

// What every object belonging to one document stands on.
struct OnDocument
{
    std::shared_ptr<WordSession> session;
    std::shared_ptr<WordDocumentState> document;

    void check() const;
};

std::shared_ptr<EmulatedObject> application(std::shared_ptr<WordSession> session);
std::shared_ptr<EmulatedObject> variables(const OnDocument &on);
std::shared_ptr<EmulatedObject> documentFields(const OnDocument &on);
std::shared_ptr<EmulatedObject> cellFields(const OnDocument &on, std::shared_ptr<WordCellEntry> cell);
std::shared_ptr<EmulatedObject> tables(const OnDocument &on);

} // namespace WordKinds
