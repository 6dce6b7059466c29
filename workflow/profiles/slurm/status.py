#!/usr/bin/env python3
"""Snakemake cluster status command for SLURM without the accounting daemon.

Called as `status.py JOBID` (JOBID as `sbatch --parsable` printed it, maybe
"ID;CLUSTER"); prints one of running, success, failed and always exits 0 (Snakemake
stops the whole workflow when a status command fails). The job's state comes from
`squeue` and, once the job has left the queue, `scontrol show job` (no sacct): a job
that finished with a non-zero status, was cancelled or killed, ran out of time or memory,
or whose node died, is failed. A job the controller no longer knows is failed too (it
can only have ended, and nothing says it succeeded; the cluster keeps finished jobs for
MinJobAge seconds, so this means a job that ended long ago or a wrong id). When the
controller cannot be reached, the job is reported running (a restarting controller must
not fail running jobs) with a warning on standard error.
"""
import subprocess
import sys
import time

RUNNING = {"PENDING", "CONFIGURING", "RUNNING", "COMPLETING", "SUSPENDED", "REQUEUED",
           "REQUEUE_FED", "REQUEUE_HOLD", "RESIZING", "SIGNALING", "STAGE_OUT",
           "RESV_DEL_HOLD", "STOPPED", "SPECIAL_EXIT"}
SUCCESS = {"COMPLETED"}
# Everything else ends a job without success: FAILED, CANCELLED, TIMEOUT, NODE_FAIL,
# OUT_OF_MEMORY, BOOT_FAIL, DEADLINE, PREEMPTED, REVOKED.
ATTEMPTS = 3


def run(command):
    """Standard output of command, or None when it failed."""
    try:
        done = subprocess.run(command, capture_output=True, text=True, timeout=30)
    except (OSError, subprocess.TimeoutExpired):
        return None, ""
    return (done.stdout if done.returncode == 0 else None), done.stderr


def squeue_state(job):
    out, _ = run(["squeue", "--noheader", "--states=all", "--jobs", job, "--format=%T"])
    if out is None:
        return None
    states = out.split()
    return states[0] if states else ""


def scontrol_state(job):
    """(state, controller reachable): state "" when the controller does not know the job."""
    out, err = run(["scontrol", "show", "job", "--oneliner", job])
    if out is None:
        return "", "Invalid job id" in err
    for field in out.split():
        if field.startswith("JobState="):
            return field.split("=", 1)[1], True
    return "", True


def classify(state):
    if state in SUCCESS:
        return "success"
    if state in RUNNING:
        return "running"
    return "failed"


def main(argv):
    if len(argv) != 2:
        print("usage: status.py JOBID", file=sys.stderr)
        print("failed")
        return 0
    job = argv[1].split(";")[0].strip()
    for attempt in range(ATTEMPTS):
        state = squeue_state(job)
        if state:
            print(classify(state))
            return 0
        state, reachable = scontrol_state(job)
        if state:
            print(classify(state))
            return 0
        if reachable:
            print(f"status.py: SLURM does not know job {job}; taking it as failed",
                  file=sys.stderr)
            print("failed")
            return 0
        time.sleep(1 + attempt)
    print(f"status.py: SLURM controller not reachable for job {job}; taking it as running",
          file=sys.stderr)
    print("running")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
