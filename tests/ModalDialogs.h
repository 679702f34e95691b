#pragma once
// In GUI tests a modal dialog or message box that the test did not arrange
// to answer fails the test at once and is closed, instead of waiting for a
// person until CTest's time-out. A test that answers real ones itself
// holds an ExpectModalDialogs while they are up.

struct ExpectModalDialogs {
    ExpectModalDialogs();
    ~ExpectModalDialogs();
    ExpectModalDialogs(const ExpectModalDialogs&) = delete;
    ExpectModalDialogs& operator=(const ExpectModalDialogs&) = delete;
};
