#pragma once

// The desktop's volume control.
class MisturadorDesktop {
public:
    // Starts the first mixer found on the PATH: pavucontrol, then
    // "gnome-control-center sound", then kmix. False when none is found or it
    // cannot be started.
    static bool iniciar();
};
