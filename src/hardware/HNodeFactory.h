#pragma once

#include <QString>

class HNode;

// Turns the kind of a design-project element into a new node.
class HNodeFactory
{
public:
    // A new node owned by the caller, or null for an empty kind and for the
    // kinds that the tree does not show. Kinds are compared exactly; any kind
    // not named here is a processing block. cardType is the element's card
    // type, by which every I/O card finds its row in the family's module
    // table.
    HNode *create(const QString &typeName, const QString &cardType = QString()) const;
};
