#pragma once

// A row of behaviourcases.h checked once its button has been pressed, the
// same way for the window in this process and for Corvatta.exe.

#include "behaviourcases.h"
#include "messagebox.h"
#include "wintest.h"

#include <string>
#include <vector>

namespace wintest {

// seen: the boxes shown, in order; boxes: Text1 to Text5 afterwards; kind:
// the list's selection afterwards.
inline void checkOutcome(const BehaviourCase& row, HWND window,
                         const std::vector<SeenMessage>& seen,
                         const std::vector<std::string>& boxes, LRESULT kind)
{
    const Messages expected = messagesOf(row);
    for (std::size_t i = 0; i < seen.size() || i < std::size_t(expected.count); ++i) {
        const std::string shown = i < seen.size() ? seen[i].text : "(no box)";
        CHECK_EQ(shown, i < std::size_t(expected.count) ? expected.text[i] : "(no box)");
        if (i >= seen.size())
            continue;
        CHECK_EQ(seen[i].title, "Corvatta");
        CHECK(seen[i].owner == window);
        CHECK_EQ(seen[i].buttons, 1);
        CHECK(!seen[i].icon);
        // Nothing is written while a box is open.
        CHECK_EQ(seen[i].results, std::string(untouched) + "|" + untouched);
    }
    const char* typed[] = {row.payment, row.rate, row.balance};
    for (std::size_t i = 0; i < 3; ++i)
        CHECK_EQ(boxes[i], inputAfter(row, typed[i]));
    CHECK_EQ(boxes[3], row.average);
    CHECK_EQ(boxes[4], row.months);
    CHECK_EQ(kind, LRESULT(row.kind));
}

} // namespace wintest
