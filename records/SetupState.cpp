#include "records/SetupState.h"

#include <cstring>

void InitSetupState(SetupState& state) {
    memset(&state, 0, sizeof state);
    strcpy(state.language, "ITALIANO");
}
