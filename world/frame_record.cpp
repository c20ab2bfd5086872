#include "world/frame_record.h"

FrameRecord frame_record;
