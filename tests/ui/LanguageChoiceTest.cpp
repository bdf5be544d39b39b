#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "doubles/Doubles.h"
#include "doubles/Scratch.h"
#include "records/SettingsFile.h"
#include "records/SetupState.h"
#include "ui/LanguageChoice.h"

namespace {

class LanguageChoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        profile_ = MakeTestProfileStore(scratch_.path());
        state_.reset(new SetupState);
        InitSetupState(*state_);
    }
    std::string Setting() {
        char out[128];
        profile_->ReadString(settings::kSettingsSection, settings::kLanguageKey, "<missing>", out,
                             sizeof out, settings::kFileName);
        return out;
    }

    ScratchFolder scratch_;
    std::unique_ptr<ProfileStore> profile_;
    std::unique_ptr<SetupState> state_;
};

}  // namespace

TEST_F(LanguageChoiceTest, TheCheckedLanguageGoesToTheStateAndTheSettingsFile) {
    const bool english[4] = {false, true, false, false};
    ConfirmLanguageChoice(*state_, *profile_, english);
    EXPECT_STREQ("ENGLISH", state_->language);
    EXPECT_EQ("ENGLISH", Setting());

    const bool italiano[4] = {true, false, false, false};
    ConfirmLanguageChoice(*state_, *profile_, italiano);
    EXPECT_STREQ("ITALIANO", state_->language);
    EXPECT_EQ("ITALIANO", Setting());
}

TEST_F(LanguageChoiceTest, TheFirstCheckedButtonWins) {
    const bool several[4] = {false, false, true, true};
    ConfirmLanguageChoice(*state_, *profile_, several);
    EXPECT_STREQ("FRENCH", state_->language);
    EXPECT_EQ("FRENCH", Setting());
}

TEST_F(LanguageChoiceTest, NothingCheckedKeepsTheLanguageButStillWritesIt) {
    strcpy(state_->language, "ESPANOL");
    const bool none[4] = {false, false, false, false};
    ConfirmLanguageChoice(*state_, *profile_, none);
    EXPECT_STREQ("ESPANOL", state_->language);
    EXPECT_EQ("ESPANOL", Setting());
}

TEST_F(LanguageChoiceTest, AShorterNameIsReadAsAWholeTextAfterALongerOne) {
    strcpy(state_->language, "SOMETHING LONGER THAN ANY NAME");
    const bool english[4] = {false, true, false, false};
    ConfirmLanguageChoice(*state_, *profile_, english);
    EXPECT_EQ(0, strcmp(state_->language, "ENGLISH"));
    EXPECT_EQ("ENGLISH", Setting());
}
