#pragma once
// Host string formatting. The analyzer calls nothing of it yet; the header exists so that
// includes resolve.
