// The container of user profiles, with its current profile.
#pragma once
#include "database.h"

// Owns its profiles; in this edition there is exactly one, which is also the current one.
typedef struct _stUserContainer {
    int iNumUsers;         // profiles in the ring
    stUser *ptFirstUser;   // the ring's first profile
    stUser *ptCurrentUser; // the profile every screen reads its settings from
} stUserContainer;

// A new container holding one default profile, first and current.
stUserContainer *read_users();
// Frees the profiles (walking the ring from the current one) and the container;
// null is accepted.
void close_users(stUserContainer *ptContainer);
