// The members window as the groups window uses it. Private to groups/.
#pragma once

#include <cstddef>

// Opens the members window if it is closed, then fills it with group `group`.
void showMembers(std::size_t group);

// Asks for a user ID for the group selected in the groups list, adds it, saves, and shows
// the group's members again.
void addMemberToSelectedGroup();
