// One turn of the main loop: the title menu while no game runs, otherwise one paced game frame.
#pragma once

// False when the program is to end ("Exit Game", Escape, or the left mouse button during play).
bool run_frame();
