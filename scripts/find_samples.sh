# Sourced by the scripts from the checkout's root: sets `samples` to the real
# sample files, MAXASE_SAMPLES_DIR, else ../shared/samples beside the
# checkout; empty when neither is there.
samples=${MAXASE_SAMPLES_DIR:-}
if [ -z "$samples" ] && [ -d ../shared/samples ]; then
    samples=$(cd ../shared/samples && pwd)
fi
