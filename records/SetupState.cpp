#include "records/SetupState.h"

#include <cstring>

#include "records/StringKeys.h"

void InitSetupState(SetupState& state) {
    memset(&state, 0, sizeof state);
    strcpy(state.language, languages::kItaliano);
}
