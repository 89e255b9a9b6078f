#pragma once
// Channel directives: "#pragma iChannel1 organic1.jpg" binds a channel of a
// pass to a ChannelTable entry by name.

#include "shader/pass_set.h"

// Writes the channels of pass `pass_index` into `result`; the text is not
// changed. Unknown channels or names are ignored.
void parse_channel_directives(const char* text, int pass_index, PassSetResult* result);

extern const char* const kChannelNames[kChannelsPerPass];
