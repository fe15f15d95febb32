#include "core/messagesink.h"

namespace throngkit {

MessageSink::~MessageSink() = default;

} // namespace throngkit
