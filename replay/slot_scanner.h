// Placeholder declaration; the replay helper replaces this file.
#pragma once
class ProfileSettings;
class SlotScanner {
public:
    explicit SlotScanner(ProfileSettings& settings);
    virtual ~SlotScanner();
};
