"""The scenarios by name: each a function of a Session, with the X screen size it needs."""
from . import closing, install, instances, play, startup

SCENARIOS = {}
for module in (startup, install, play, instances, closing):
    SCENARIOS.update(module.SCENARIOS)
