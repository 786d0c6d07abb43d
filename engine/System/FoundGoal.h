#pragma once

// Thrown by a path search's goal visitor and caught inside the search.
struct FoundGoal {};
