#pragma once

#include "fakeoffice.h"
#include "officelink.h"

// An office link over the recording office; whether the suite counts as
// present is up to the test.
class FakeOfficeLink final : public OfficeLink {
public:
    bool checkOfficeSuite(Dialogs&) override
    {
        ++checks;
        return present;
    }
    void startInBackground() override { ++starts; }
    OfficeOperations& operations() override { return office; }
    void abandon() override { ++abandons; }

    FakeOffice office;
    bool present = true;
    int checks = 0;
    int starts = 0;
    int abandons = 0;
};
