#pragma once
// The Classes unit: persistent objects, components, collections, lists,
// string lists, streams and component streaming.

#include "platform/rtl/Collections.h"
#include "platform/rtl/ComponentStreaming.h"
#include "platform/rtl/Components.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
