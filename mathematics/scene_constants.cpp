#include "mathematics/scene_constants.h"

const float kScenePentagons[4] = {0.97531795f, 0.1f, 0.630991f, 0.1f};
const char* const kScenePentagonWords[4] = {"0.97531795", "0.1", "0.630991", "0.1"};
