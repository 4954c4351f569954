#include <brindle/foundations/object.h>

namespace brindle {

TObject::~TObject() = default;

} // namespace brindle
