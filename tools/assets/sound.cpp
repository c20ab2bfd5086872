#include "tools/assets/sound.h"

#include "platform/sound_text.h"
#include "platform/wav_file.h"

namespace assets {

Compiled compile_sound(std::string_view source)
{
    platform::sound::Made made = platform::sound::make(source);
    if (!made.error.empty())
        return compile_error(made.line, made.column, std::move(made.error));
    Compiled result;
    result.bytes = platform::wav_file_bytes(made.samples);
    return result;
}

}  // namespace assets
