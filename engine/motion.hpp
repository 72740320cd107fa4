// Per-frame actuator motion: active actuators travel in straight segments toward random targets.
#pragma once

// Starts a motion for every active actuator that is not moving, in index order.
void startMotions();
// Advances every active, moving actuator by one step, in index order.
void stepMotions();
