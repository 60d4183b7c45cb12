#include "prompter.hpp"

namespace velmor {

Activity& quietActivity() {
  static Activity quiet;
  return quiet;
}

}  // namespace velmor
