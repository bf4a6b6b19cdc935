/* Linked into every program of the sanitized build. Mesa unloads its GL driver when the display
 * is closed; blocks the driver still pointed to then show up as leaks whose stacks name no
 * module, so no suppression can match them. With dlclose doing nothing every library stays
 * mapped, its leaks carry its name, and tests/sanitizer/lsan.supp can suppress them. */
int dlclose(void* handle) {
    (void)handle;
    return 0;
}
