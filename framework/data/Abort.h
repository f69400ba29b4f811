#pragma once

// The silent abort: thrown to end the current user action without any message. It carries
// nothing and deliberately does not derive from std::exception, so that handlers showing
// error texts never mistake it for an error to display.
class Abort {};
