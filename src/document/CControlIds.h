#pragma once

#include <QtGlobal>

// The ids of new controls. One counter serves the whole run; it starts at the
// time of day in milliseconds, so that controls made in different runs and
// kept in the same file seldom share an id. The widget delegate hands the
// same ids out once it exists.
class CControlIds
{
public:
    // The next id; never 0, which stands for "no id" in a panel file.
    static quint32 next();
};
