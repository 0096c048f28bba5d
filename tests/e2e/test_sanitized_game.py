"""The sanitized game through every path of the interface: the tour of the interface replayed
(help text scrolled by keys and arrows, the buttons, a crash, a time-out, names entered, the list
left by Tab and Space) and names typed in three scripts on a real keyboard. Both tests also run in
the plain build's suite; here, in the sanitized build, any sanitizer report fails them."""
import sys
import unittest

from test_input import Typing
from test_replay import ExactOutcomes


def load_tests(loader, tests, pattern):
    return unittest.TestSuite([
        ExactOutcomes("test_a_tour_of_the_interface_ends_the_same_every_time"),
        Typing("test_names_in_any_script_are_stored_as_windows_1251"),
    ])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
